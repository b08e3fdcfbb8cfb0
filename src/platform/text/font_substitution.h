// The fonts that stand in for the Windows fonts named in notes and dialogs.
// Notes keep the names the user chose; only drawing and measuring use the
// substitute.
#pragma once

#include <QFont>
#include <QString>

#include <string_view>

// The family to draw a face name with (CP932); the name itself when it has
// no substitute.  A vertical variant ("@" + face) gives the face's family.
QString FontSubstitution_family(std::string_view faceName);
// A font of the face at a size in points.
QFont FontSubstitution_font(std::string_view faceName, double points);
