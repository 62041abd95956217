// The settings store: the one INI file beside the program.
//
// A portable reader and writer of the platform's profile format, so that both builds read and
// write the file the same way. Names and values are the file's bytes (the key is in code page
// 932); file paths are UTF-8 on every system, so the program may live in any folder.
#pragma once

#include <string>

namespace Veltrane_B {

inline constexpr const char* kSettingsSection = "Section";
// "表示インターバル" in code page 932 (Shift-JIS).
inline constexpr const char* kIntervalKey =
    "\x95\x5c\x8e\xa6\x83\x43\x83\x93\x83\x5e\x81\x5b\x83\x6f\x83\x8b";

// The settings file of a program in `programFolder`: the folder and "\Veltrane.ini" joined as they
// are (a drive's root thus gives two separators in a row, which the system accepts).
std::string SettingsFilePath(const std::string& programFolder);

// The value of `key` in `section` of `file`, or "" when the file, the section or the key is
// missing or the file cannot be read. Lines end in CR LF, LF or a lone CR; a file starting with
// the UTF-16 LE byte-order mark is read as UTF-16 and its value comes back in code page 932.
// Names match without regard to ASCII case, blanks around names and values are trimmed, a value
// in matching quotes loses them, the first match wins, a value ends at a zero byte, and at most
// 255 bytes of a value come back.
std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& file);

// Stores `value` under `key` in `section` of `file`, creating the file, the section or the key as
// needed and keeping every other line (and a UTF-16 file's encoding) as it was. The file is
// replaced in one step where its folder allows, and rewritten in place where only the file may be
// written (see platform::WriteFileContents). Returns "" (as callers expect); LastApiResult
// receives 1 on success and 0 when the file could not be written, in which case the old file is
// unchanged (unless an in-place rewrite failed part way). A file it cannot read as settings (too
// large, a folder, big-endian UTF-16) is refused.
std::string WriteSetting(const std::string& section, const std::string& key,
                         const std::string& value, const std::string& file);

}  // namespace Veltrane_B
