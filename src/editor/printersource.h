#pragma once

#include <QPrinter>
#include <functional>
#include <memory>

// Where the editor's printers come from; tests hand in PDF printers.
struct PrinterSource
{
    // The printer the print dialog starts from.
    std::function<std::unique_ptr<QPrinter>()> forDialog;
    // The system's default printer; nullptr when no printer is installed.
    std::function<std::unique_ptr<QPrinter>()> defaultPrinter;

    static PrinterSource system();
};
