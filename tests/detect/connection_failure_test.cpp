// The connection's failure paths, with a locator registered in this process
// in place of the platform's: COM hands out registered class objects first.
#include <gtest/gtest.h>

#include "detect/CardModel.h"
#include "detect/SystemInfo.h"

namespace {

// Connecting through it fails; counts its references so that a leak or a
// release too many shows.
class RefusingLocator : public IWbemLocator {
public:
    virtual ~RefusingLocator() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IWbemLocator) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IWbemLocator*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

    HRESULT STDMETHODCALLTYPE ConnectServer(BSTR, BSTR, BSTR, BSTR, LONG, BSTR, IWbemContext*,
                                            IWbemServices** services) override
    {
        ++connects;
        *services = nullptr;
        return kRefusal;
    }

    static constexpr HRESULT kRefusal = static_cast<HRESULT>(WBEM_E_ACCESS_DENIED);

    int references = 0;
    int connects = 0;
};

// Makes the locator; without one to hand out, creating it fails.
class LocatorFactory : public IClassFactory {
public:
    explicit LocatorFactory(RefusingLocator* locator) : locator(locator) {}
    virtual ~LocatorFactory() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override
    {
        if (locator == nullptr) {
            *object = nullptr;
            return kCreationFailure;
        }
        return locator->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    static constexpr HRESULT kCreationFailure = E_OUTOFMEMORY;

private:
    RefusingLocator* locator; // not owned
};

// Hands out the factory's objects to this thread's creations of a locator
// for as long as it lives; the factory must outlive it.
class LocatorRegistration {
public:
    explicit LocatorRegistration(LocatorFactory& factory)
    {
        result =
            CoRegisterClassObject(CLSID_WbemLocator, &factory, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie);
    }
    ~LocatorRegistration()
    {
        if (SUCCEEDED(result)) {
            CoRevokeClassObject(cookie);
        }
    }
    LocatorRegistration(const LocatorRegistration&) = delete;
    LocatorRegistration& operator=(const LocatorRegistration&) = delete;

    HRESULT result = E_FAIL;

private:
    DWORD cookie = 0;
};

class StandInLocator : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(StandInLocator, WithoutALocatorTheNameIsEmptyAndTheModelUnknown)
{
    LocatorFactory factory(nullptr);
    LocatorRegistration registration(factory);
    ASSERT_EQ(S_OK, registration.result);
    {
        SystemInfo info;
        EXPECT_EQ(LocatorFactory::kCreationFailure, info.status().locator);
        EXPECT_TRUE(FAILED(info.status().connection));
        EXPECT_EQ("", info.videoControllerName());
        info.queryProperty("Win32_VideoController", "AdapterRAM");
        EXPECT_EQ("", info.lastValue());
    }
    EXPECT_EQ(kUnknownCardModel, identifyCardModel());
}

TEST_F(StandInLocator, WithoutAConnectionTheNameIsEmptyAndTheLocatorReleased)
{
    RefusingLocator locator;
    LocatorFactory factory(&locator);
    LocatorRegistration registration(factory);
    ASSERT_EQ(S_OK, registration.result);
    {
        SystemInfo info;
        EXPECT_EQ(S_OK, info.status().locator);
        EXPECT_EQ(RefusingLocator::kRefusal, info.status().connection);
        EXPECT_EQ("", info.videoControllerName());
        EXPECT_EQ(1, locator.connects);
        EXPECT_EQ(1, locator.references);
    }
    EXPECT_EQ(0, locator.references);
    EXPECT_EQ(kUnknownCardModel, identifyCardModel());
    EXPECT_EQ(0, locator.references);
}

} // namespace
