#pragma once
// What assistive technology hears of the widgets: a word by its caption and
// a role from its editor (text, edit, list, button), a round button by its
// caption or accessible name, both without surrounding blanks; both can be
// pressed. An open popup menu's levels and entries answer for themselves
// (popup_menu.cpp), as its window is private to it. A panel gives a row's
// button the row's sentence as its name and each word the sentence as its
// description. The library installs this once, when its first word or
// button is made.

namespace brindle {

void InstallAccessibility();

} // namespace brindle
