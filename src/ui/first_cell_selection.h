#pragma once

#include <QItemSelectionModel>

namespace vantrel {

// Selects and highlights only the first cell of a row, whichever cell was clicked.
class FirstCellSelectionModel final : public QItemSelectionModel
{
    Q_OBJECT

public:
    using QItemSelectionModel::QItemSelectionModel;

    void select(const QItemSelection& selection, SelectionFlags command) override;
    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override;
    using QItemSelectionModel::select;
};

} // namespace vantrel
