#pragma once

// Sets or removes an environment variable for the life of the object and
// restores the previous state afterwards. Values are UTF-8; on Windows they
// are set as wide characters, as the program reads them.

#include <optional>
#include <string>

namespace kloxmere::test {

class ScopedEnv {
  public:
    // `value` nullopt removes the variable.
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Sets (or with nullopt removes) a variable for good.
void SetEnv(const std::string& name, const std::optional<std::string>& value);

}  // namespace kloxmere::test
