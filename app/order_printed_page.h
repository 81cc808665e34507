// The printed order's page around the form: the seller's logo at the top left, his contact details at
// the bottom of the left column, a rule down the page beside that column, and the pen and the font
// set for the form to be written to the right of it.
#pragma once

#include "files/paths.h"
#include "graphics/port.h"

// The logo: read whole from the page archive and drawn at a quarter of its size in pixels.
constexpr char kPrintedLogoName[] = "printablelogo.gif";

// Draws on the page (the printable rectangle, in points) and leaves the pen where the form's first
// line has its tab stop, with the form's font selected. Failures of reading the logo, of decoding it
// and of drawing are returned; nothing is kept.
Status OrderPrintedPageStart(GraphicsPort* printer, const Rect& page, PathSpec* archive);
