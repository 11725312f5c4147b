// Pairs of file names in the order the system's file browser shows them (StrCmpLogicalW): the
// one table for the Win32 comparison and the recording backend's own rule.
#pragma once

namespace name_order {

struct Case {
    const char16_t* before;
    const char16_t* after;
};

inline constexpr Case kCases[] = {
    {u"a2.png", u"a10.png"},          // digits as numbers
    {u"A2.png", u"a10.png"},          // case ignored
    {u"a1.png", u"A2.png"},           //
    {u"b3.png", u"B20.png"},          //
    {u"img9.jpg", u"img10.jpg"},      //
    {u"img10.jpg", u"img100.jpg"},    //
    {u"x1y2.jpg", u"x1y10.jpg"},      // every run of digits
    {u"abc.jpg", u"abd.jpg"},         // letters as letters
    {u"photo.jpg", u"photos.jpg"},    // a stop before a letter
    {u"2020.jpg", u"photo.jpg"},      // digits before letters
    {u"IMG_99.jpg", u"img_100.jpg"},  //
};

}  // namespace name_order
