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
// any other name goes to fontconfig's best match. Bold and italic come from
// the family's own faces, and are synthesized only when it has none.
FaceChoice MatchFace(const LOGFONTA& font);

}  // namespace winlayer::text
