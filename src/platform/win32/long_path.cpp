#include "platform/win32/long_path.h"

#include <windows.h>

#include <vector>

namespace tolvane::platform {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The current folder, or the current folder of a drive ("C:"), as the system
// keeps it: absolute and without a trailing separator except at a root.
std::wstring CurrentFolderOf(const wchar_t* drive)
{
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(drive, static_cast<DWORD>(folder.size()), folder.data(), nullptr);
        if (length == 0) return {};
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

// Splits an absolute path into its root ("C:" or "\\server\share") and the
// rest; false when it is not absolute.
bool SplitRoot(const std::wstring& path, std::wstring& root, std::wstring& rest)
{
    if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) {
        root = path.substr(0, 2);
        rest = path.substr(3);
        return true;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t end = path.find_first_of(L"\\/", 2);
        if (end != std::wstring::npos) end = path.find_first_of(L"\\/", end + 1);
        root = path.substr(0, end);
        rest = end == std::wstring::npos ? std::wstring() : path.substr(end + 1);
        return true;
    }
    return false;
}

// The path made absolute against the current folder (of its drive).
std::wstring Absolute(const std::wstring& path)
{
    std::wstring root, rest;
    if (SplitRoot(path, root, rest)) return path;
    if (path.size() >= 2 && path[1] == L':') {
        const std::wstring drive = path.substr(0, 2);
        return CurrentFolderOf(drive.c_str()) + L'\\' + path.substr(2);
    }
    const std::wstring current = CurrentFolderOf(L".");
    if (!path.empty() && IsSeparator(path[0])) {
        if (!SplitRoot(current + L'\\', root, rest)) return {};
        return root + path;
    }
    return current + L'\\' + path;
}

}  // namespace

std::wstring WideFromProgram(std::string_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

bool ProgramFromWide(std::wstring_view wide, std::string& text)
{
    text.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes no best-fit flag and reports no default character; it fails
    // only on a lone surrogate.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL inexact = FALSE;
    BOOL* usedDefault = utf8 ? nullptr : &inexact;
    const int length = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    if (length > 0) {
        text.resize(static_cast<size_t>(length));
        WideCharToMultiByte(CP_ACP, flags, wide.data(), size, text.data(), length, nullptr, usedDefault);
        return !inexact;
    }
    for (const wchar_t c : wide) text += c < 0x80 ? static_cast<char>(c) : '?';
    return false;
}

std::wstring ExtendedPath(const std::string& programPath)
{
    std::wstring path = WideFromProgram(programPath);
    if (path.empty()) {
        ::SetLastError(programPath.empty() ? ERROR_PATH_NOT_FOUND : ERROR_NO_UNICODE_TRANSLATION);
        return {};
    }
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
    path = Absolute(path);
    std::wstring root, rest;
    if (!SplitRoot(path, root, rest)) {
        ::SetLastError(ERROR_BAD_PATHNAME);
        return {};
    }
    // Resolve "." and ".." here: the system leaves them to the caller in an
    // extended-length path.
    std::vector<std::wstring> parts;
    for (size_t begin = 0; begin <= rest.size();) {
        size_t end = rest.find_first_of(L"\\/", begin);
        if (end == std::wstring::npos) end = rest.size();
        const std::wstring part = rest.substr(begin, end - begin);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        begin = end + 1;
    }
    std::wstring result = root[1] == L':' ? L"\\\\?\\" + root : L"\\\\?\\UNC\\" + root.substr(2);
    for (wchar_t& c : result)
        if (c == L'/') c = L'\\';
    for (const std::wstring& part : parts) result += L'\\' + part;
    if (parts.empty() || IsSeparator(path.back())) result += L'\\';
    return result;
}

}  // namespace tolvane::platform
