#pragma once

#include "platform/sourcediscovery.h"

// Where no browser window can be read, discovery finds nothing and the program runs on.
class NullSourceDiscovery final : public SourceDiscovery
{
    Q_OBJECT

public:
    void refresh() override {}
    QString latestAddress() const override { return {}; }
    quint64 requestLook() override { return 0; }
    std::optional<QString> addressOfLook(quint64) override { return QString(); }
};
