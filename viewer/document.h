// The viewer's document: the metafile both panes show. LoadDocument reads
// the file by itself, without sharing, and keeps the picture that the left
// pane plays and its aspect ratio until the next load.
#pragma once

#include <windows.h>

namespace velmora::viewer {

constexpr int kFileNameChars = 260;

struct Document {
  WCHAR file_name[kFileNameChars] = L"tiger.emf";  // relative: looked up in the working directory
  HENHMETAFILE picture = nullptr;                  // owned; null while there is none
  float aspect = 0.0f;                             // width / height; meaningful only with a picture
};

Document& document();

// Drops the current picture, then reads the file and identifies it. Reports
// nothing: a file that cannot be opened or read leaves no picture.
void LoadDocument();

// Deletes the picture, if there is one.
void ReleaseDocumentPicture();

}  // namespace velmora::viewer
