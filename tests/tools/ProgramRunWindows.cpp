#include <windows.h>

#include "ProgramRun.h"

namespace {

// One argument as the C runtime splits a command line: quoted, with quotes and the backslashes
// before them escaped.
std::wstring quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

// A file handle the child process inherits as one of its standard streams.
class InheritedFile {
public:
    explicit InheritedFile(const std::filesystem::path& path) {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        handle_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritedFile() {
        if (valid()) CloseHandle(handle_);
    }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE handle() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

int runProgram(const ProgramRun& run) {
    std::wstring commandLine = quoted(run.program.wstring());
    for (const std::string& argument : run.arguments)
        commandLine += L" " + quoted(std::filesystem::path(argument).wstring());
    const InheritedFile out(run.out), err(run.err);
    if (!out.valid() || !err.valid()) return -1;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.handle();
    startup.hStdError = err.handle();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(run.program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        run.workingFolder.c_str(), &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return known ? static_cast<int>(exitCode) : -1;
}
