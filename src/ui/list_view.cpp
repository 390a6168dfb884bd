#include "ui/list_view.h"

#include "ui/first_cell_selection.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QStyledItemDelegate>

namespace vantrel {
namespace {

// The selection is drawn only while the list has the focus.
class FocusedSelectionDelegate final : public QStyledItemDelegate
{
public:
    explicit FocusedSelectionDelegate(QWidget* view) : QStyledItemDelegate(view), m_view(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_view->hasFocus())
            option->state &= ~QStyle::State_Selected;
    }

private:
    QWidget* m_view;
};

Qt::Alignment cellAlignment(const ListColumn& column)
{
    return column.alignment | Qt::AlignVCenter;
}

} // namespace

ListViewWidget::ListViewWidget(const ListViewSetup& setup, QWidget* parent)
    : QTableWidget(0, static_cast<int>(setup.columns.size()), parent), m_setup(setup)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(setup.firstCellSelection ? SelectItems : SelectRows);
    if (setup.firstCellSelection) {
        QItemSelectionModel* previous = selectionModel();
        setSelectionModel(new FirstCellSelectionModel(model(), this));
        delete previous;
    }
    setItemDelegate(new FocusedSelectionDelegate(this));

    QPalette colours = palette();
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    // A column of width 0 still holds its cells and opens when its divider is dragged,
    // which a hidden section would not.
    header->setMinimumSectionSize(0);
    for (int column = 0; column < columnCount(); ++column) {
        const ListColumn& spec = setup.columns[column];
        auto* title = new QTableWidgetItem(QString::fromUtf8(spec.title));
        title->setTextAlignment(cellAlignment(spec));
        setHorizontalHeaderItem(column, title);
        header->resizeSection(column, spec.width);
    }
}

int ListViewWidget::appendRow()
{
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto* cell = new QTableWidgetItem;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (column == 0 && m_setup.checkBoxes) {
            flags |= Qt::ItemIsUserCheckable;
            cell->setCheckState(Qt::Unchecked);
        }
        cell->setFlags(flags);
        cell->setTextAlignment(cellAlignment(m_setup.columns[column]));
        setItem(row, column, cell);
    }
    return row;
}

bool ListViewWidget::holdsCell(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

void ListViewWidget::setCellText(int row, int column, const QString& text)
{
    if (!holdsCell(row, column))
        return;
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
}

QString ListViewWidget::cellText(int row, int column) const
{
    if (!holdsCell(row, column))
        return {};
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void ListViewWidget::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    viewport()->update();
}

void ListViewWidget::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

} // namespace vantrel
