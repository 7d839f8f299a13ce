// What the added views share as windows: resizable (the older windows keep
// their fixed design size), and built with layouts rather than positions.
#pragma once

class Form;

// Lets the user resize the window, from at least the given design size.
void MakeResizable(Form* form, int minWidth, int minHeight);
