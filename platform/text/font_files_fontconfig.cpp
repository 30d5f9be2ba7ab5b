// Where the system has fontconfig, it chooses the faces (fontconfig_query.cpp).
#include "font_match.h"

namespace winlayer::text {

FaceChoice FindFace(const std::string& family, int weight, bool italic) { return AskFontconfig(family, weight, italic); }

}  // namespace winlayer::text
