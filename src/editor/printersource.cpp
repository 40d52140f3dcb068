#include "editor/printersource.h"

#include <QPrinterInfo>

PrinterSource PrinterSource::system()
{
    return {
        [] { return std::make_unique<QPrinter>(QPrinter::HighResolution); },
        []() -> std::unique_ptr<QPrinter> {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull())
                return nullptr;
            return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        },
    };
}
