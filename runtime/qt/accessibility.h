#pragma once
// What a screen reader learns from the runtime's own widgets: windows are
// frames or dialogs named by their caption, pictures are graphics named after
// their artwork, and counters are read as a name with a value ("Veces que
// tiró", "3").

namespace forms::qt {

// Teaches Qt's accessibility layer about the runtime's widgets. The
// application object calls it once.
void installAccessibility();

} // namespace forms::qt
