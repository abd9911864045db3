// Every QuvoSDK call the main window makes goes through one of these, so that the
// time spent inside the SDK is known (a button's own cost is what remains) and a
// test can see the calls in their order with their arguments. GUI thread only.
#pragma once

#include <quvo/QuvoSDK.h>

#include <chrono>
#include <functional>
#include <string>
#include <type_traits>

namespace encoderdesk {

class SdkCalls {
public:
    // Sees "QuvoSetVideoResolution(16)" and its result after each call, when set.
    std::function<void(const std::string& call, QUVO_RESULT result)> observer;

    // Time spent inside the SDK since the last reset.
    std::chrono::nanoseconds Spent() const { return spent_; }
    void ResetSpent() { spent_ = {}; }

    template <typename Function, typename... Args>
    QUVO_RESULT Call(const char* name, Function function, Args... args)
    {
        const auto start = std::chrono::steady_clock::now();
        const QUVO_RESULT result = function(args...);
        spent_ += std::chrono::steady_clock::now() - start;
        if (observer) observer(Describe(name, args...), result);
        return result;
    }

private:
    template <typename T>
    static std::string Argument(T value)
    {
        if constexpr (std::is_same_v<T, const char*>) return "\"" + std::string(value) + "\"";
        else if constexpr (std::is_pointer_v<T>) return "&";
        else return std::to_string(value);
    }
    template <typename... Args>
    static std::string Describe(const char* name, Args... args)
    {
        std::string text = std::string(name) + "(";
        bool first = true;
        ((text += (first ? "" : ", ") + Argument(args), first = false), ...);
        return text + ")";
    }

    std::chrono::nanoseconds spent_{};
};

}  // namespace encoderdesk

// QUVO_CALL(sdk, QuvoSetVideoResolution, 16): the call through `sdk`, named.
#define QUVO_CALL(sdk, function, ...) (sdk).Call(#function, &function __VA_OPT__(, ) __VA_ARGS__)
