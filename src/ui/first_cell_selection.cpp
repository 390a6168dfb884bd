#include "ui/first_cell_selection.h"

namespace vantrel {
namespace {

QModelIndex firstCell(const QModelIndex& index)
{
    return index.isValid() ? index.siblingAtColumn(0) : index;
}

} // namespace

void FirstCellSelectionModel::select(const QItemSelection& selection, SelectionFlags command)
{
    QItemSelection firstCells;
    for (const QItemSelectionRange& range : selection) {
        const QModelIndex top = firstCell(range.topLeft());
        const QModelIndex bottom = firstCell(range.bottomRight());
        firstCells.select(top, bottom);
    }
    QItemSelectionModel::select(firstCells, command & ~(Rows | Columns));
}

void FirstCellSelectionModel::setCurrentIndex(const QModelIndex& index, SelectionFlags command)
{
    QItemSelectionModel::setCurrentIndex(firstCell(index), command & ~(Rows | Columns));
}

} // namespace vantrel
