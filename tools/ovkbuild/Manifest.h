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
//
// Record templates (UTF-8 texts; a record's bytes come from "text", "hex" or "data", the name
// of a block of the data list):
//   "page"           "title", "text", "keywords": [keyword indexes]
//   "genLink"        "fileName" and the file's bytes
//   "immagine"       "name", "fileName" (its extension names the format) and the picture bytes
//   "internetLink"   "address"
//   "keyword"        "keyword"
//   "shortObj"       "subKind" (default 1) and its data; "treeHolder": true or
//                    "customTreeHolder": true make it the holder of the page or custom outline
//   "dbloc"          "name" (default "db"), "fields": [["name", "value"], …] or {"name": "value"},
//                    "iconSelector"; "propertyList": true makes it the property list
//   "speclink"       "subKind", "target" (a reference), "mode", "window" and its data
//   "stileParagrafo" "name", with the defaults of a new style
// Any record may carry "attributes": the attribute text of an extra block (name="value" …), and
// "recordFields" (like "fields", which a dbloc keeps for its name/value list).

#include "ovkbuild/Builder.h"

#include <filesystem>

namespace ovkbuild {

Builder BuildFromManifest(const nlohmann::json& manifest, const std::filesystem::path& baseDir);
Builder BuildFromManifestFile(const std::filesystem::path& manifestPath);

} // namespace ovkbuild
