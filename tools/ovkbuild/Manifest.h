#pragma once
// The JSON manifest of an ebook, mirroring the Builder:
//
//   {
//     "charSet": "iso-8859-1",
//     "header":   { "title": "…", "author": "…", "coverPage": 0, "toc": true,
//                   "raw": [ {"offset": 1623, "type": "u8", "value": 1} ] },
//     "sections": { "testoHtml": { "recordSize": 668 } },
//     "data":     [ {"name": "intro", "text": "…"}, {"name": "pic", "file": "pic.jpg"},
//                   {"name": "blob", "hex": "ffd8ff"} ],
//     "records":  { "testoHtml": [ {"template": "page", "title": "Welcome",
//                                   "fields": [ {"offset": 0, "type": "i32", "value": "@intro.offset"},
//                                               {"offset": 185, "type": "i32", "value": "@intro.length"} ]}
//                                               ],
//                   "keyword": [ {"raw": "03 61 62 63", "fill": 255} ] },
//     "broken":   { "magic": "QELX", "lastSectionByte": 27, "truncateAt": 2000,
//                   "recordAreaLength": -1, "sections": { "testoHtml": {"count": 99} },
//                   "trailingHex": "00" }
//   }
//
// Sections and record lists are keyed by kind name or number. Field types: u8, i16, u16, i32,
// u32, str (with "capacity"; the UTF-8 value is converted to the ebook's code page), bytes
// (hex). Integer values may be numbers, "0x…" text, or "@block.offset" / "@block.length" of
// a named data block. "text" data is converted to the code page; "file" paths are relative
// to the manifest's folder.

#include "ovkbuild/Builder.h"

#include <filesystem>

namespace ovkbuild {

Builder BuildFromManifest(const nlohmann::json& manifest, const std::filesystem::path& baseDir);
Builder BuildFromManifestFile(const std::filesystem::path& manifestPath);

} // namespace ovkbuild
