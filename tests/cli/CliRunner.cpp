#include "tests/cli/CliRunner.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "base/Environment.h"
#include "base/FileSystem.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace kloxmere::test {

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string content = text.str();
#ifdef _WIN32
    // The C runtime writes text-mode line ends; the tests compare "\n".
    std::string lf;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (!(content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n')) {
            lf += content[i];
        }
    }
    content = std::move(lf);
#endif
    return content;
}

#ifdef _WIN32

HANDLE inheritableOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The program's exit code; nullopt when it could not be started.
std::optional<int> runProcess(const std::string& commandLine, const std::string& outFile,
                              const std::string& errFile) {
    HANDLE out = inheritableOutput(outFile), err = inheritableOutput(errFile);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::wstring command = WideFromUtf8(commandLine);
    std::optional<int> exitCode;
    if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        exitCode = GetExitCodeProcess(process.hProcess, &code) ? static_cast<int>(code) : -1;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    return exitCode;
}

#endif

}  // namespace

std::string Quoted(const std::string& text) {
#ifdef _WIN32
    // Backslashes are literal except before a double quote, where each one
    // must be doubled, as must those before the closing quote.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
#else
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
#endif
}

CliResult RunCli(const TempDir& scratch, const std::string& arguments,
                 const std::vector<EnvChange>& environment) {
    return RunProgram(KLOXMERE_CLI, scratch, arguments, environment);
}

CliResult RunProgram(const std::string& program, const TempDir& scratch,
                     const std::string& arguments, const std::vector<EnvChange>& environment) {
    std::string outFile = scratch.file("stdout.txt"), errFile = scratch.file("stderr.txt");
#ifdef _WIN32
    std::vector<std::unique_ptr<ScopedEnv>> changes;  // the child inherits them
    for (const EnvChange& change : environment) {
        changes.push_back(std::make_unique<ScopedEnv>(change.name.c_str(), change.value));
    }
    // Under Wine a program that has just ended may hold its output files a
    // moment longer, and the next one then cannot start: it is tried again.
    std::optional<int> started;
    for (int attempt = 0; attempt < 30 && !started; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        started = runProcess(Quoted(program) + " " + arguments, outFile, errFile);
    }
    int exitCode = started.value_or(-1);
#else
    std::string command = "env";
    for (const EnvChange& change : environment) {
        command +=
            change.value ? " " + change.name + "=" + Quoted(*change.value) : " -u " + change.name;
    }
    command +=
        " " + Quoted(program) + " " + arguments + " >" + Quoted(outFile) + " 2>" + Quoted(errFile);
    int status = std::system(command.c_str());
    int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return {exitCode, slurp(outFile), slurp(errFile)};
}

}  // namespace kloxmere::test
