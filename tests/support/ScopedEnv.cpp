#include "tests/support/ScopedEnv.h"

#include <cstdlib>

#include "base/Environment.h"

namespace kloxmere::test {

void SetEnv(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable.
    _wputenv_s(WideFromUtf8(name).c_str(), value ? WideFromUtf8(*value).c_str() : L"");
#else
    if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
#endif
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
    if (std::getenv(name)) m_old = EnvironmentValue(name);
    SetEnv(m_name, value);
}

ScopedEnv::~ScopedEnv() {
    SetEnv(m_name, m_old);
}

}  // namespace kloxmere::test
