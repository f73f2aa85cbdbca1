#pragma once

#include "screens/home/LibraryScreenModel.h"

namespace orvella {

// The kids zone: the children's programme by its fixed id, one page of episodes first and,
// after a full page, the fetch of up to 8 pages whose list then replaces it. Its error state
// offers the general programme page and Retry.
class KidsZoneLibraryModel : public LibraryScreenModel
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool showsSkeleton READ showsSkeleton NOTIFY stateChanged)
    Q_PROPERTY(QString videosText READ videosText NOTIFY stateChanged)

public:
    static constexpr int firstPageSize = 100;
    static constexpr int maxPages = 8;

    explicit KidsZoneLibraryModel(QObject *parent = nullptr);

    [[nodiscard]] static QString programId() { return QStringLiteral("79"); }

    // The placeholder grid stands in while a load runs and no episode is known.
    [[nodiscard]] bool showsSkeleton() const { return isLoading() && episodes()->count() == 0; }
    [[nodiscard]] QString videosText() const;

    // Runs the whole load again, superseding a running one.
    Q_INVOKABLE void retry();
    // The programme's general page ("Open Quillory").
    Q_INVOKABLE void openProgram();

    QCoro::Task<> load() override;
};

} // namespace orvella
