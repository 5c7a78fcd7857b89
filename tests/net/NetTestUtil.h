// Helpers shared by the network tests: run one Get and record how it ended and how long it took.
#pragma once

#include "net/Httpclient.h"

#include <chrono>
#include <random>
#include <string>

namespace nettest {

struct GetOutcome {
    std::string Class;  // "" when the Get returned, else "EAbortError", "ESockError", "other"
    std::string Text;
    long long Ms = 0;
};

// Count bytes of a fixed pseudo-random sequence: a body no server rewrites or compresses.
inline std::string RandomBytes(size_t Count)
{
    std::mt19937 random(7);
    std::string bytes(Count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

inline GetOutcome TimedGet(THttpClient& Client, const std::string& Url)
{
    GetOutcome outcome;
    const auto start = std::chrono::steady_clock::now();
    try {
        Client.Get(Url);
    } catch (const EAbortError& error) {
        outcome = {"EAbortError", error.what()};
    } catch (const ESockError& error) {
        outcome = {"ESockError", error.what()};
    } catch (const std::exception& error) {
        outcome = {"other", error.what()};
    }
    outcome.Ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

}  // namespace nettest
