#include "gui/input/segmentdialog.h"

#include "gui/prompts/prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lv::gui {

using input::SegmentRow;

namespace {

QLineEdit *makeField(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessibleName);
    return field;
}

} // namespace

SegmentDialog::SegmentDialog(Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("SegmentDialog"));
    setWindowTitle(QStringLiteral("Lägg till tunnelsegment"));

    // Top row: number, length and slope, each label above its field.
    auto *top = new QGridLayout;
    const std::array<std::pair<QString, QLineEdit **>, 3> topFields = {{
        {QStringLiteral("Nummer:"), &m_numberEdit},
        {QStringLiteral("Längd: [m]"), &m_cellFields[SegmentRow::Length]},
        {QStringLiteral("Lutning: [%]"), &m_cellFields[SegmentRow::Slope]},
    }};
    const std::array<const char *, 3> topNames = {"numberEdit", "lengthEdit", "slopeEdit"};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(topFields[std::size_t(i)].first, this);
        QLineEdit *field = makeField(this, topNames[std::size_t(i)], label->text());
        label->setBuddy(field);
        *topFields[std::size_t(i)].second = field;
        top->addWidget(label, 0, i);
        top->addWidget(field, 1, i);
    }

    // The speed/flow grid: one row per vehicle class, speed and flow columns.
    auto *frame = new QGroupBox(QStringLiteral("Hastighet/Flöde"), this);
    auto *grid = new QGridLayout(frame);
    const QString speedColumn = QStringLiteral("Medelhastiget: [km/h]");
    const QString flowColumn = QStringLiteral("Flöde: [f/h]");
    grid->addWidget(new QLabel(speedColumn, frame), 0, 1);
    grid->addWidget(new QLabel(flowColumn, frame), 0, 2);
    struct ClassRow
    {
        QString label;
        const char *speedName;
        const char *flowName;
        SegmentRow::Cell speed;
        SegmentRow::Cell flow;
    };
    const std::array<ClassRow, 3> classes = {{
        {QStringLiteral("Personbil:"), "pbSpeedEdit", "pbFlowEdit", SegmentRow::PbSpeed,
         SegmentRow::PbFlow},
        {QStringLiteral("Lastbil:"), "lbSpeedEdit", "lbFlowEdit", SegmentRow::LbSpeed,
         SegmentRow::LbFlow},
        {QStringLiteral("Lastbil med släp:"), "lbsSpeedEdit", "lbsFlowEdit", SegmentRow::LbsSpeed,
         SegmentRow::LbsFlow},
    }};
    for (int i = 0; i < 3; ++i) {
        const ClassRow &c = classes[std::size_t(i)];
        grid->addWidget(new QLabel(c.label, frame), i + 1, 0);
        m_cellFields[c.speed] = makeField(frame, c.speedName, c.label + u' ' + speedColumn);
        m_cellFields[c.flow] = makeField(frame, c.flowName, c.label + u' ' + flowColumn);
        grid->addWidget(m_cellFields[c.speed], i + 1, 1);
        grid->addWidget(m_cellFields[c.flow], i + 1, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    // No default button: Enter in a field does not store the segment.
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setAutoDefault(false);
    m_cancelButton = new QPushButton(QStringLiteral("Avbryt"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    const std::array<QWidget *, 11> tabOrder = {
        m_numberEdit,
        m_cellFields[SegmentRow::Length],
        m_cellFields[SegmentRow::Slope],
        m_cellFields[SegmentRow::PbSpeed],
        m_cellFields[SegmentRow::PbFlow],
        m_cellFields[SegmentRow::LbSpeed],
        m_cellFields[SegmentRow::LbFlow],
        m_cellFields[SegmentRow::LbsSpeed],
        m_cellFields[SegmentRow::LbsFlow],
        m_okButton,
        m_cancelButton,
    };
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    m_numberEdit->setFocus();

    connect(m_okButton, &QPushButton::clicked, this, &SegmentDialog::acceptSegment);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SegmentDialog::setRow(const SegmentRow &row)
{
    m_numberEdit->setText(row.number);
    for (std::size_t i = 0; i < m_cellFields.size(); ++i)
        m_cellFields[i]->setText(row.cells[i]);
}

SegmentRow SegmentDialog::row() const
{
    SegmentRow row;
    row.number = m_numberEdit->text();
    for (std::size_t i = 0; i < m_cellFields.size(); ++i)
        row.cells[i] = m_cellFields[i]->text();
    return row;
}

void SegmentDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape is not bound to "Avbryt"; the close box and the button close the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SegmentDialog::acceptSegment()
{
    if (const auto fault = input::checkSegmentRow(row())) {
        showError(m_prompts, *fault);
        const bool cell = fault->field == FaultField::SegmentCell && fault->cell >= 0 &&
                          fault->cell < int(m_cellFields.size());
        focusFaultyField(cell ? m_cellFields[std::size_t(fault->cell)] : m_numberEdit);
        return;
    }
    accept();
}

} // namespace lv::gui
