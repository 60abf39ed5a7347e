#pragma once
// Pictures from the compiled-in artwork, rendered from their vector sources at
// the screen's device pixel ratio and kept once rendered.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <string>
#include <vector>

namespace forms::qt {

// The resource path of a picture name ("ball" is ":/art/ball.svg").
QString picturePath(const std::string &name);
bool pictureExists(const std::string &name);

// The title the artwork gives itself, for screen readers; empty if none.
QString pictureTitle(const std::string &name);

// The picture's own size in pixels; empty for an unknown name.
QSize pictureSize(const std::string &name);

// The picture rendered to `size` logical pixels at `devicePixelRatio`.
QPixmap renderPicture(const std::string &name, QSize size, qreal devicePixelRatio);

// A window icon from pictures drawn for given sizes, smallest first; the
// largest also serves for sizes nobody drew.
QIcon iconFromPictures(const std::vector<std::string> &names);

} // namespace forms::qt
