#include "card/driver/Nvapi.h"

#include "card/driver/DriverLibrary.h"

#include <windows.h>

namespace nvapi {

namespace {

// Interface numbers of the operations we use.
constexpr std::uint32_t kInitializeInterface = 0x0150E828;
constexpr std::uint32_t kEnumPhysicalGpusInterface = 0xE5AC921F;
constexpr std::uint32_t kGpuRecordInterface = 0x1EA54A3B;
constexpr std::uint32_t kI2CReadInterface = 0x4D7B0709;
constexpr std::uint32_t kI2CWriteInterface = 0x283AC65A;

using QueryInterfaceFunction = void*(__cdecl*)(std::uint32_t interfaceNumber);
using InitializeFunction = Status(__cdecl*)();
using EnumPhysicalGpusFunction = Status(__cdecl*)(PhysicalGpuHandle* handles, std::uint32_t* count);
using GpuRecordFunction = Status(__cdecl*)(PhysicalGpuHandle gpu, int number, void* record);
using I2CFunction = Status(__cdecl*)(PhysicalGpuHandle gpu, I2CRequest* request, std::uint32_t* unknown);

class Driver {
public:
    static const Driver& instance()
    {
        // Built once, by whichever thread comes first.
        static const Driver driver;
        return driver;
    }

    Status status() const noexcept { return status_; }

    template <typename Function, typename... Arguments>
    Status call(Function function, Arguments... arguments) const
    {
        if (status_ < kOk) {
            return status_;
        }
        return function != nullptr ? function(arguments...) : kNoImplementation;
    }

    // Bound once, before any caller sees the instance.
    EnumPhysicalGpusFunction enumPhysicalGpus = nullptr;
    GpuRecordFunction gpuRecord = nullptr;
    I2CFunction i2cRead = nullptr;
    I2CFunction i2cWrite = nullptr;

private:
    Driver() { status_ = bind(); }

    Status bind()
    {
        // The library is never freed: the driver stays initialised until the
        // process ends.
        const HMODULE library = loadDriverLibrary("nvapi.dll");
        if (library == nullptr) {
            return kLibraryNotFound;
        }
        // Through void*: GetProcAddress's own type fits no real signature.
        queryInterface_ = reinterpret_cast<QueryInterfaceFunction>(
            reinterpret_cast<void*>(GetProcAddress(library, "nvapi_QueryInterface")));
        if (queryInterface_ == nullptr) {
            return kLibraryNotFound;
        }
        const auto initialize = query<InitializeFunction>(kInitializeInterface);
        if (initialize == nullptr) {
            return kNoImplementation;
        }
        const Status initialized = initialize();
        if (initialized < kOk) {
            return initialized;
        }
        enumPhysicalGpus = query<EnumPhysicalGpusFunction>(kEnumPhysicalGpusInterface);
        gpuRecord = query<GpuRecordFunction>(kGpuRecordInterface);
        i2cRead = query<I2CFunction>(kI2CReadInterface);
        i2cWrite = query<I2CFunction>(kI2CWriteInterface);
        return kOk;
    }

    template <typename Function>
    Function query(std::uint32_t interfaceNumber) const
    {
        return reinterpret_cast<Function>(queryInterface_(interfaceNumber));
    }

    QueryInterfaceFunction queryInterface_ = nullptr;
    Status status_ = kLibraryNotFound;
};

} // namespace

Status initialize()
{
    return Driver::instance().status();
}

Status enumPhysicalGpus(PhysicalGpuHandle (&handles)[kMaxPhysicalGpus], std::uint32_t* count)
{
    const Driver& driver = Driver::instance();
    return driver.call(driver.enumPhysicalGpus, handles, count);
}

Status queryGpuRecord(PhysicalGpuHandle gpu, int number, void* record)
{
    const Driver& driver = Driver::instance();
    return driver.call(driver.gpuRecord, gpu, number, record);
}

Status i2cRead(PhysicalGpuHandle gpu, I2CRequest* request, std::uint32_t* unknown)
{
    const Driver& driver = Driver::instance();
    return driver.call(driver.i2cRead, gpu, request, unknown);
}

Status i2cWrite(PhysicalGpuHandle gpu, I2CRequest* request, std::uint32_t* unknown)
{
    const Driver& driver = Driver::instance();
    return driver.call(driver.i2cWrite, gpu, request, unknown);
}

} // namespace nvapi
