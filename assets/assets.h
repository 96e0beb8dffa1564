#pragma once
// The program's own pictures, sounds and song, in Qt's resource system at
// ":/trilane/<TYPE>/<NAME>" (TYPE RCDATA, BITMAP, JPEG or WAVE; NAME upper-cased). The bytes
// are those an add-on library would hold for the same type: a BITMAP is a device-independent
// bitmap without its file header, RCDATA holds PNG, GIF or MIDI data.

#include <QString>
#include <string_view>

namespace trilane {

// Makes sure the resources are registered (safe to call more than once).
void InitAssets();

// ":/trilane/<TYPE>/<NAME>" for a resource type and name, the name upper-cased.
QString AssetPath(std::string_view type, std::string_view name);

}  // namespace trilane
