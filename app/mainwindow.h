#pragma once
#include "model/vakto.h"

// Builds the main window's element model: places, sizes, start pictures, visibility, stacking
// and the handlers of every element. Called once by the Vakto constructor.
void BuildMainModel(Vakto& v);
// Builds the tray menu items of the depot, with their actions.
void BuildDepotMenu(DepotModel& d);
void HoverHeaderButtons(Vakto& v, std::int16_t xHover, std::int16_t vHover);

// Events of the bare main window (no element under the pointer), window pixels.
void OnMainMouseDown(Vakto& v, const MouseEv& e);
void OnMainMouseMove(Vakto& v, const MouseEv& e);

// Finds the topmost visible element at a window point (pixels), or nullptr for the bare window.
// For a point on the dial, *local receives the point in the element's own coordinates.
Element* HitTest(Vakto& v, QPoint windowPoint, QPoint* local = nullptr);
// Window coordinates of an element's top-left corner (dial children are offset by picClock).
QPoint WindowOrigin(const Vakto& v, const Element& e);
