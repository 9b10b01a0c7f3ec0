#pragma once

class QPrinter;

// The current printer: one printer object for the whole program, created on first use
// (the system's default printer, or a PDF printer where there is none). Page setup,
// printing and the printer-width layout all work on it.
QPrinter &CurrentPrinter();
