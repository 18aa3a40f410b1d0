#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace stavik::testing {

// Puts an environment variable back as it was when the guard ends.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::string name) : name_(std::move(name))
    {
        if (const char* value = std::getenv(name_.c_str())) {
            saved_ = value;
        }
    }
    ~EnvironmentGuard()
    {
        if (saved_) {
            setenv(name_.c_str(), saved_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace stavik::testing
