#pragma once

#include "platform/browser.h"

// Opens pages in whatever browser the desktop offers.
class DesktopBrowser final : public Browser {
public:
    Result<> open(const QString &path) override;
};
