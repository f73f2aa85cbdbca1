#pragma once

#include "screens/home/LibraryScreenModel.h"

#include <QStringList>

namespace orvella {

// The testimonies library: the service's testimonies programme, looked up by its title on
// every visit (the client holds no id for it), with every episode it has (up to 8 pages).
class TestimoniesLibraryModel : public LibraryScreenModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    static constexpr int maxPages = 8;

    explicit TestimoniesLibraryModel(QObject *parent = nullptr);

    // The titles the programme is looked up by, most exact first.
    [[nodiscard]] static QStringList titlePhrases();

    QCoro::Task<> load() override;
};

} // namespace orvella
