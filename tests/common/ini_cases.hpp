// Profile (INI) files and the value the platform's profile reader gives for one section and
// key, asked with an empty default into a buffer of 255 characters. One table for two
// readers: the portable one (platform/recording/ini_reader.hpp, native unit test) and Windows'
// GetPrivateProfileStringW (the Win32 platform test under Wine, which writes `bytes` to a
// file of its own: use bytes.size(), the UTF-16 cases hold NUL bytes).
//
// Every case was checked against Wine 8.0's GetPrivateProfileStringW (capacity 255, code page
// 1252: LANG=en_US.UTF-8). Behaviours in which Wine is known to differ from Windows, or which
// were not checked on Windows, are left out of the table: letter case of non-ASCII names
// (Wine compares only ASCII letters without regard to case), keys before any section read
// with an empty section name, a quoted value of exactly capacity - 1 characters (Wine cuts
// one character too many).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct IniCase {
    const char* name;
    std::string bytes;  // the file, byte for byte
    std::u16string section, key, expected;
};

namespace ini_cases_detail {

inline std::string Utf16Le(const std::u16string& text) {
    std::string out = "\xFF\xFE";
    for (const char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

inline std::string Utf16Be(const std::u16string& text) {
    std::string out = "\xFE\xFF";
    for (const char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

}  // namespace ini_cases_detail

inline const std::vector<IniCase>& IniCases() {
    using namespace ini_cases_detail;
    using namespace std::string_literals;
    static const std::vector<IniCase> cases = {
        // --- The plain case and letter case ---------------------------------------------
        {"plain", "[Main]\r\nFont=Arial\r\n", u"Main", u"Font", u"Arial"},
        {"lower_case_in_file", "[main]\r\nfont=Arial\r\n", u"Main", u"Font", u"Arial"},
        {"mixed_case_asked", "[Shadow]\r\nOffSet=2\r\n", u"sHADOW", u"offset", u"2"},
        {"latin_name_same_case", "[Gr\366\337e]\r\nCl\351=v\r\n", u"Größe", u"Clé", u"v"},

        // --- Blanks --------------------------------------------------------------------
        {"blanks_around_key_and_value", "[Main]\r\n  Font  =  Arial Black  \r\n", u"Main", u"Font",
         u"Arial Black"},
        {"tabs_around_key_and_value", "[Main]\r\n\tFont\t=\tArial\t\r\n", u"Main", u"Font",
         u"Arial"},
        {"blanks_inside_brackets", "[ Main ]\r\nFont=Arial\r\n", u"Main", u"Font", u"Arial"},
        {"tabs_inside_brackets", "[\tMain\t]\r\nFont=Arial\r\n", u"Main", u"Font", u"Arial"},
        {"blanks_around_brackets", "   [Main]   \r\nFont=Arial\r\n", u"Main", u"Font", u"Arial"},
        {"blanks_in_the_names_asked", "[Main]\r\nFont=Arial\r\n", u" Main ", u"\tFont ", u"Arial"},
        {"blank_inside_key_kept", "[Main]\r\nFont Name=Arial\r\n", u"Main", u"Font Name", u"Arial"},
        {"value_only_blanks", "[Main]\r\nFont=    \r\n", u"Main", u"Font", u""},
        {"value_empty", "[Main]\r\nFont=\r\nSize=9\r\n", u"Main", u"Font", u""},
        {"blank_lines_and_indentation", "\r\n\r\n[Main]\r\n\r\n   \r\n  Size=9\r\n\r\n", u"Main",
         u"Size", u"9"},

        // --- Quotation marks -------------------------------------------------------------
        {"double_quotes", "[Main]\r\nFont=\"Arial\"\r\n", u"Main", u"Font", u"Arial"},
        {"single_quotes", "[Main]\r\nFont='Arial'\r\n", u"Main", u"Font", u"Arial"},
        {"quotes_keep_inner_blanks", "[Main]\r\nFont=\" Arial \"\r\n", u"Main", u"Font",
         u" Arial "},
        {"quotes_then_trailing_blank", "[Main]\r\nFont=\"Arial\"  \r\n", u"Main", u"Font",
         u"Arial"},
        {"mismatched_quotes", "[Main]\r\nFont=\"Arial'\r\n", u"Main", u"Font", u"\"Arial'"},
        {"quote_only_at_start", "[Main]\r\nFont=\"Arial\r\n", u"Main", u"Font", u"\"Arial"},
        {"quote_only_at_end", "[Main]\r\nFont=Arial\"\r\n", u"Main", u"Font", u"Arial\""},
        {"lone_double_quote", "[Main]\r\nFont=\"\r\n", u"Main", u"Font", u"\""},
        {"empty_double_quotes", "[Main]\r\nFont=\"\"\r\n", u"Main", u"Font", u""},
        {"quote_inside_quotes", "[Main]\r\nFont=\"a\"b\"\r\n", u"Main", u"Font", u"a\"b"},

        // --- Which section, which key -------------------------------------------------------
        {"duplicate_sections_first_wins", "[Main]\r\nFont=First\r\n[Main]\r\nFont=Second\r\n",
         u"Main", u"Font", u"First"},
        {"duplicate_sections_not_merged", "[Main]\r\nSize=9\r\n[Main]\r\nFont=Second\r\n", u"Main",
         u"Font", u""},
        {"duplicate_sections_other_case", "[main]\r\nSize=9\r\n[MAIN]\r\nFont=Second\r\n", u"Main",
         u"Font", u""},
        {"duplicate_keys_first_wins", "[Main]\r\nFont=First\r\nFont=Second\r\n", u"Main", u"Font",
         u"First"},
        {"duplicate_keys_other_case", "[Main]\r\nFONT=First\r\nfont=Second\r\n", u"Main", u"Font",
         u"First"},
        {"key_missing", "[Main]\r\nSize=9\r\n", u"Main", u"Font", u""},
        {"section_missing", "[Other]\r\nFont=Arial\r\n", u"Main", u"Font", u""},
        {"key_in_another_section_only", "[Other]\r\nFont=Arial\r\n[Main]\r\nSize=9\r\n", u"Main",
         u"Font", u""},
        {"key_after_the_section", "[Main]\r\nSize=9\r\n[Shadow]\r\nFont=Arial\r\n", u"Main",
         u"Font", u""},
        {"second_of_two_sections", "[Main]\r\nFont=Arial\r\n[Shadow]\r\nOffSet=3\r\n", u"Shadow",
         u"OffSet", u"3"},
        {"keys_before_any_section_ignored", "Font=Early\r\n[Main]\r\nSize=9\r\n", u"Main", u"Font",
         u""},
        {"keys_before_any_section_then_section", "Font=Early\r\n[Main]\r\nFont=Late\r\n", u"Main",
         u"Font", u"Late"},
        {"prefix_of_key_is_not_key", "[Main]\r\nFontName=Arial\r\n", u"Main", u"Font", u""},
        {"prefix_of_section_is_not_section", "[MainWindow]\r\nFont=Arial\r\n", u"Main", u"Font",
         u""},
        {"bracket_line_without_close_is_no_section", "[Main]\r\nSize=9\r\n[Other\r\nFont=Arial\r\n",
         u"Main", u"Font", u"Arial"},
        {"text_after_closing_bracket", "[Main]  ; the main section\r\nFont=Arial\r\n", u"Main",
         u"Font", u"Arial"},
        {"comment_line", "[Main]\r\n;Font=Commented\r\nFont=Arial\r\n", u"Main", u"Font", u"Arial"},

        // --- Value text ------------------------------------------------------------------
        {"value_with_equals_and_semicolon", "[Main]\r\nFont=a=b;c\r\n", u"Main", u"Font", u"a=b;c"},
        {"trailing_comment_is_part_of_value", "[Main]\r\nFont=Arial ; comment\r\n", u"Main",
         u"Font", u"Arial ; comment"},
        {"value_is_equals_sign", "[Main]\r\nFont==\r\n", u"Main", u"Font", u"="},
        {"value_254_chars_whole", "[Main]\r\nFont=" + std::string(254, 'y') + "\r\n", u"Main",
         u"Font", std::u16string(254, u'y')},
        {"value_255_chars_cut_to_254", "[Main]\r\nFont=" + std::string(255, 'z') + "\r\n", u"Main",
         u"Font", std::u16string(254, u'z')},
        {"quoted_value_257_chars_cut_to_254", "[Main]\r\nFont='" + std::string(257, 'q') + "'\r\n",
         u"Main", u"Font", std::u16string(254, u'q')},
        {"nul_ends_value", "[Main]\r\nFont=Ar\0ial\r\n"s, u"Main", u"Font", u"Ar"},

        // --- Empty files and line ends ------------------------------------------------------
        {"empty_file", "", u"Main", u"Font", u""},
        {"utf16le_bom_only", "\xFF\xFE", u"Main", u"Font", u""},
        {"utf16be_bom_only", "\xFE\xFF", u"Main", u"Font", u""},
        {"utf8_bom_only", "\xEF\xBB\xBF", u"Main", u"Font", u""},
        {"lf_line_ends", "[Main]\nSize=9\nFont=Arial\n", u"Main", u"Font", u"Arial"},
        {"cr_line_ends", "[Main]\rSize=9\rFont=Arial\r", u"Main", u"Font", u"Arial"},
        {"mixed_line_ends", "[Other]\nFont=No\r\n[Main]\rSize=9\n\r\n\rFont=Arial\n", u"Main",
         u"Font", u"Arial"},
        {"no_line_end_at_end_of_file", "[Main]\r\nFont=Arial", u"Main", u"Font", u"Arial"},

        // --- Encodings -----------------------------------------------------------------
        {"windows1252_value", "[Main]\r\nFont=Caf\xE9\r\n", u"Main", u"Font", u"Café"},
        {"windows1252_80_to_9f", "[Main]\r\nFont=\x80\x8A\x8C\x99\x9F\r\n", u"Main", u"Font",
         u"€ŠŒ™Ÿ"},
        {"utf16le_chinese", Utf16Le(u"[Main]\r\nFont=微软雅黑\r\nSize=12\r\n"), u"Main", u"Font",
         u"微软雅黑"},
        {"utf16le_chinese_section_and_key", Utf16Le(u"[主要]\r\n字体=宋体\r\n"), u"主要", u"字体",
         u"宋体"},
        {"utf16le_blanks_and_quotes", Utf16Le(u"[ Main ]\r\n  Font = \"微软雅黑\" \r\n"), u"Main",
         u"Font", u"微软雅黑"},
        {"utf16be_chinese", Utf16Be(u"[Main]\r\nFont=微软雅黑\r\n"), u"Main", u"Font", u"微软雅黑"},
        {"utf8_bom_chinese",
         "\xEF\xBB\xBF[Main]\r\nFont=\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\r\n", u"Main",
         u"Font", u"微软雅黑"},
        {"utf8_without_bom_is_ansi",
         "[Main]\r\nFont=\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\r\n", u"Main", u"Font",
         u"å¾®è½¯é›…é»‘"},
    };
    return cases;
}
