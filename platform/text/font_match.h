// Choosing an installed font file for a logical font.
#pragma once

#include <windows.h>

#include <string>

namespace winlayer::text {

struct FaceChoice {
  std::string file;    // empty when no font at all is installed
  int index = 0;       // face within the file
  std::string family;  // the face really used, e.g. "Liberation Sans"
  bool synthesizeBold = false;
  bool synthesizeItalic = false;
};

// Windows face names map to installed metric-compatible fonts ("Arial" to
// Liberation Sans, "Comic Sans MS" to Comic Neue, "System" to a bold sans);
// any other name goes to the system's best match. Bold and italic come from
// the family's own faces, and are synthesized only when it has none.
FaceChoice MatchFace(const LOGFONTA& font);

// The face of a family nearest to a weight (Windows' scale, 100 to 900) and
// slant. Where the system has fontconfig, it chooses among the installed
// fonts (font_files_fontconfig.cpp); elsewhere a fixed table of the fonts
// the build bundles chooses as fontconfig would (font_files_bundled.cpp).
FaceChoice FindFace(const std::string& family, int weight, bool italic);

// Fontconfig's answer to the same question (fontconfig_query.cpp), where the
// system has it: what FindFace gives there, and what the table must match.
FaceChoice AskFontconfig(const std::string& family, int weight, bool italic);

}  // namespace winlayer::text
