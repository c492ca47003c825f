#pragma once
// The maker's web page and the header link area: the core half of the About box.

#include "model/vakto.h"

// The maker's web page: the one address both links open. A reserved example domain.
inline constexpr char MakerAddress[] = "https://vakto.example.org/";
// Appended by the header link area, so that the page can tell where the visitor came from.
inline constexpr char FromVaktoQuery[] = "?=from vakto";

// Opens the maker's page through the browser port; returns at once, the result is not examined.
void OpenMakerPage(Vakto& v, bool fromHeader);
// Installs the click handler of imgAuthor.
void InstallAboutHandlers(Vakto& v);
