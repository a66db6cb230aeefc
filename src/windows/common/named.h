#pragma once

namespace ui {

// A widget given its object name, where it is made.
template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

}  // namespace ui
