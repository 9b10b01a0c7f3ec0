#include "richedit/wwprinter.h"

#include <QPrinter>
#include <memory>

QPrinter &CurrentPrinter()
{
    static std::unique_ptr<QPrinter> printer;
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}
