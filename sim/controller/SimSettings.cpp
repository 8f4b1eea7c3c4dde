#include "SimSettings.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace sim {

namespace {

std::vector<int> numbers(const std::string& text)
{
    std::vector<int> values;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        const long value = std::strtol(word.c_str(), &end, 0);
        if (end != word.c_str() && *end == '\0') {
            values.push_back(static_cast<int>(value));
        }
    }
    return values;
}

// Interface numbers fill all 32 bits, past what strtol takes on Windows.
std::vector<unsigned> unsignedNumbers(const std::string& text)
{
    std::vector<unsigned> values;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(word.c_str(), &end, 0);
        if (end != word.c_str() && *end == '\0') {
            values.push_back(static_cast<unsigned>(value));
        }
    }
    return values;
}

int clampByte(int value)
{
    return std::clamp(value, 0, 255);
}

std::wstring fromUtf8(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string toUtf8(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                        nullptr, nullptr);
    return narrow;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void parseRegister25(const std::string& value, Register25& out)
{
    std::istringstream in(value);
    std::string kind;
    in >> kind;
    std::string rest;
    std::getline(in, rest);
    std::vector<int> args = numbers(rest);
    std::transform(args.begin(), args.end(), args.begin(), clampByte);
    if (kind == "fixed" && args.size() == 1) {
        out = Register25{Register25::Kind::Fixed, args};
    } else if (kind == "sequence" && !args.empty()) {
        out = Register25{Register25::Kind::Sequence, args};
    } else if (kind == "wave" && args.size() == 3) {
        const std::vector<int> period = numbers(rest);
        if (period[2] > 0) {
            out = Register25{Register25::Kind::Wave, {args[0]}, args[0], args[1], period[2]};
        }
    }
}

void parseLine(const std::string& key, const std::string& value, SimSettings& settings)
{
    if (key == "register25") {
        parseRegister25(value, settings.register25);
    } else if (key == "log") {
        settings.logPath = fromUtf8(value);
    } else if (key == "adapters") {
        settings.adapters = numbers(value);
    } else if (key == "zero-id") {
        settings.zeroIdAdapters = numbers(value);
    } else if (key == "fail") {
        settings.failTransactions = value == "1" || value == "yes";
    } else if (key == "delay") {
        const std::vector<int> delay = numbers(value);
        settings.delayMs = delay.size() == 1 ? std::clamp(delay[0], 0, 60000) : 0;
    } else if (key == "block") {
        const std::vector<int> block = numbers(value);
        if (block.size() == 1 || block.size() == 2) {
            settings.blockRegister = clampByte(block[0]);
            settings.blockMs = block.size() == 2 ? std::max(block[1], 0) : 0;
        }
    } else if (key == "nvapi-gpus") {
        const std::vector<int> gpus = numbers(value);
        settings.nvapiGpus = gpus.size() == 1 ? std::clamp(gpus[0], 0, 64) : 1;
    } else if (key == "nvapi-init-fail") {
        settings.nvapiInitFails = value == "1" || value == "yes";
    } else if (key == "nvapi-missing") {
        settings.nvapiMissing = unsignedNumbers(value);
    } else if (key == "frozen") {
        settings.frozen = value == "1" || value == "yes";
    }
}

std::string joined(const std::vector<int>& values)
{
    std::string text;
    for (const int value : values) {
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(value);
    }
    return text;
}

} // namespace

SimSettings parseSettings(const std::string& text)
{
    SimSettings settings;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        const auto equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos) {
            continue;
        }
        parseLine(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)), settings);
    }
    return settings;
}

std::string formatSettings(const SimSettings& settings)
{
    std::ostringstream out;
    const Register25& r = settings.register25;
    switch (r.kind) {
    case Register25::Kind::Fixed:
        out << "register25=fixed " << (r.values.empty() ? 0 : r.values[0]) << '\n';
        break;
    case Register25::Kind::Sequence:
        out << "register25=sequence " << joined(r.values) << '\n';
        break;
    case Register25::Kind::Wave:
        out << "register25=wave " << r.low << ' ' << r.high << ' ' << r.periodMs << '\n';
        break;
    }
    if (!settings.logPath.empty()) {
        out << "log=" << toUtf8(settings.logPath) << '\n';
    }
    if (settings.adapters) {
        out << "adapters=" << joined(*settings.adapters) << '\n';
    }
    if (!settings.zeroIdAdapters.empty()) {
        out << "zero-id=" << joined(settings.zeroIdAdapters) << '\n';
    }
    out << "fail=" << (settings.failTransactions ? 1 : 0) << '\n';
    out << "delay=" << settings.delayMs << '\n';
    if (settings.blockRegister) {
        out << "block=" << *settings.blockRegister;
        if (settings.blockMs > 0) {
            out << ' ' << settings.blockMs;
        }
        out << '\n';
    }
    out << "nvapi-gpus=" << settings.nvapiGpus << '\n';
    out << "nvapi-init-fail=" << (settings.nvapiInitFails ? 1 : 0) << '\n';
    if (!settings.nvapiMissing.empty()) {
        out << "nvapi-missing=" << std::hex << std::showbase;
        for (const unsigned id : settings.nvapiMissing) {
            out << id << ' ';
        }
        out << std::dec << std::noshowbase << '\n';
    }
    if (settings.frozen) {
        out << "frozen=1\n";
    }
    return out.str();
}

} // namespace sim
