#include "gui/air/airtab.h"

#include "core/air/airtable.h"
#include "core/results/substretch.h"
#include "core/text/numbertext.h"
#include "gui/air/airtablemodel.h"
#include "gui/prompts/prompts.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace lv::gui {

namespace {

const QString kCriteriaFilter = QStringLiteral("Luftkriterier (*.ini)");
const QString kChooseTitle = QStringLiteral("Välj kriteriefil");
const QString kSource = QStringLiteral("Luftbehovet");

} // namespace

AirTab::AirTab(Prompts &prompts, QWidget *parent) : QWidget(parent), m_prompts(prompts)
{
    m_model = new AirTableModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("airView"));
    m_view->setAccessibleName(QStringLiteral("Luftbehov"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *copy = new QAction(QStringLiteral("Kopiera"), m_view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_view->addAction(copy);
    connect(copy, &QAction::triggered, this, &AirTab::copySelectedRows);

    auto *notes = new QLabel(air::demandNotes().join(u' '), this);
    notes->setObjectName(QStringLiteral("airNotes"));
    notes->setWordWrap(true);
    m_problemLabel = new QLabel(this);
    m_problemLabel->setObjectName(QStringLiteral("airProblem"));
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problemLabel->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(createParameterFields());
    layout->addWidget(notes);
    layout->addWidget(m_problemLabel);
    layout->addWidget(m_view, 1);
}

QLayout *AirTab::createParameterFields()
{
    m_criteriaLabel = new QLabel(this);
    m_criteriaLabel->setObjectName(QStringLiteral("airCriteriaLabel"));
    m_criteriaLabel->setWordWrap(true);
    m_chooseButton = new QPushButton(QStringLiteral("Välj kriteriefil..."), this);
    m_chooseButton->setObjectName(QStringLiteral("chooseCriteriaButton"));
    m_situationCombo = new QComboBox(this);
    m_situationCombo->setObjectName(QStringLiteral("situationCombo"));
    m_criterionCombo = new QComboBox(this);
    m_criterionCombo->setObjectName(QStringLiteral("criterionCombo"));
    m_criterionCombo->addItem(QStringLiteral("Medelvärde längs sträckan"));
    m_criterionCombo->addItem(QStringLiteral("Vid sträckans utgång"));
    m_areaEdit = new QLineEdit(this);
    m_areaEdit->setObjectName(QStringLiteral("areaEdit"));
    m_reverseCheck = new QCheckBox(QStringLiteral("Luften strömmar mot segmentordningen"), this);
    m_reverseCheck->setObjectName(QStringLiteral("reverseAirCheck"));
    m_flowEdit = new QLineEdit(this);
    m_flowEdit->setObjectName(QStringLiteral("flowEdit"));
    m_flowEdit->setPlaceholderText(QStringLiteral("valfritt"));

    auto *grid = new QGridLayout;
    const auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        buddy->setAccessibleName(text);
        return l;
    };
    grid->addWidget(m_criteriaLabel, 0, 0, 1, 4);
    grid->addWidget(m_chooseButton, 0, 4);
    grid->addWidget(label(QStringLiteral("Trafiksituation:"), m_situationCombo), 1, 0);
    grid->addWidget(m_situationCombo, 1, 1);
    grid->addWidget(label(QStringLiteral("NO2-kriterium:"), m_criterionCombo), 1, 2);
    grid->addWidget(m_criterionCombo, 1, 3);
    grid->addWidget(label(QStringLiteral("Tvärsnittsarea [m²]:"), m_areaEdit), 2, 0);
    grid->addWidget(m_areaEdit, 2, 1);
    grid->addWidget(m_reverseCheck, 2, 2, 1, 2);
    grid->addWidget(label(QStringLiteral("Tillgängligt luftflöde [m³/s]:"), m_flowEdit), 3, 0);
    grid->addWidget(m_flowEdit, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(m_chooseButton, &QPushButton::clicked, this, &AirTab::chooseCriteriaFile);
    connect(m_situationCombo, &QComboBox::currentIndexChanged, this, &AirTab::recompute);
    connect(m_criterionCombo, &QComboBox::currentIndexChanged, this, &AirTab::recompute);
    connect(m_areaEdit, &QLineEdit::textChanged, this, &AirTab::recompute);
    connect(m_reverseCheck, &QCheckBox::toggled, this, &AirTab::recompute);
    connect(m_flowEdit, &QLineEdit::textChanged, this, &AirTab::recompute);
    connect(m_situationCombo, &QComboBox::currentIndexChanged, this, &AirTab::tunnelAirChanged);
    connect(m_areaEdit, &QLineEdit::textChanged, this, &AirTab::tunnelAirChanged);
    connect(m_reverseCheck, &QCheckBox::toggled, this, &AirTab::tunnelAirChanged);
    connect(m_flowEdit, &QLineEdit::textChanged, this, &AirTab::tunnelAirChanged);
    return grid;
}

void AirTab::loadCriteriaFile(const QString &path)
{
    auto file = air::readCriteriaFile(path);
    const QSignalBlocker blockSituation(m_situationCombo);
    const QSignalBlocker blockCriterion(m_criterionCombo);
    const QSignalBlocker blockReverse(m_reverseCheck);
    const QString situation = m_situationCombo->currentData().toString();
    m_situationCombo->clear();
    if (!file) {
        m_file.reset();
        m_fileProblem = file.error().message;
        m_criteriaLabel->setText(QStringLiteral("Kriteriefil: ") + path);
        recompute();
        return;
    }
    m_file = std::move(file).value();
    m_fileProblem.clear();
    const air::Criteria &c = m_file->criteria;
    m_criteriaLabel->setText(QStringLiteral("Kriteriefil: ") + m_file->path +
                             (m_file->demonstration
                                  ? QStringLiteral(" (demonstrationsvärden tills du anger egna)")
                                  : QString()));
    m_situationCombo->addItem(QStringLiteral("Kriteriefilens egna värden"), QString());
    for (const air::Situation &s : m_file->situations)
        m_situationCombo->addItem(s.name, s.id);
    m_situationCombo->setCurrentIndex(std::max(0, m_situationCombo->findData(situation)));
    m_criterionCombo->setCurrentIndex(c.no2Criterion == air::No2Criterion::Mean ? 0 : 1);
    m_reverseCheck->setChecked(c.reverseAir);
    m_areaEdit->setPlaceholderText(text::formatGeneral(float(c.areaM2)) +
                                   QStringLiteral(" (kriteriefilen)"));
    recompute();
}

void AirTab::chooseCriteriaFile()
{
    const QString path = m_prompts.openFileName(this, kChooseTitle, kCriteriaFilter);
    if (!path.isEmpty())
        loadCriteriaFile(path);
}

void AirTab::setStretches(std::shared_ptr<const calc::RunState> run, const QStringList &labels)
{
    m_run = std::move(run);
    m_labels = labels;
    recompute();
}

Expected<air::Criteria> AirTab::criteriaInForce() const
{
    if (!m_file)
        return Error{ErrorKind::InputCheck, m_fileProblem};
    files::TunnelAir tunnel = tunnelAir();
    const auto number = [](QLineEdit *edit,
                           const QString &name) -> Expected<std::optional<double>> {
        if (edit->text().trimmed().isEmpty())
            return std::optional<double>();
        const auto value = text::parseDouble(edit->text());
        if (!value) {
            return Error{ErrorKind::InputCheck,
                         QStringLiteral("%1: \"%2\" är inget tal.").arg(name, edit->text())};
        }
        return std::optional<double>(*value);
    };
    const auto area = number(m_areaEdit, QStringLiteral("Tvärsnittsarea"));
    if (!area)
        return area.error();
    const auto flow = number(m_flowEdit, QStringLiteral("Tillgängligt luftflöde"));
    if (!flow)
        return flow.error();
    tunnel.areaM2 = *area;
    tunnel.availableFlowM3S = *flow;
    auto criteria = files::applyTunnelAir(*m_file, tunnel, kSource);
    if (!criteria)
        return criteria.error();
    criteria->no2Criterion =
        m_criterionCombo->currentIndex() == 1 ? air::No2Criterion::Exit : air::No2Criterion::Mean;
    if (const auto checked = air::checkCriteria(*criteria, kSource); !checked)
        return checked.error();
    return criteria;
}

void AirTab::recompute()
{
    const auto criteria = criteriaInForce();
    m_problemLabel->setVisible(!criteria);
    if (!criteria) {
        m_problemLabel->setText(criteria.error().message);
        m_model->clear();
        return;
    }
    if (!m_run) {
        m_model->setDemands(*criteria, {});
        return;
    }
    const results::StretchSums sums(*m_run);
    m_model->setDemands(*criteria, air::stretchDemands(sums, m_labels, *criteria));
}

files::TunnelAir AirTab::tunnelAir() const
{
    files::TunnelAir tunnel;
    tunnel.areaM2 = text::parseDouble(m_areaEdit->text());
    tunnel.reverseAir = m_reverseCheck->isChecked();
    tunnel.situation = m_situationCombo->currentData().toString();
    tunnel.availableFlowM3S = text::parseDouble(m_flowEdit->text());
    return tunnel;
}

QString AirTab::setTunnelAir(const files::TunnelAir &air)
{
    const QSignalBlocker blockSituation(m_situationCombo);
    const QSignalBlocker blockReverse(m_reverseCheck);
    const QSignalBlocker blockArea(m_areaEdit);
    const QSignalBlocker blockFlow(m_flowEdit);
    m_areaEdit->setText(air.areaM2 ? text::formatGeneral(float(*air.areaM2)) : QString());
    m_flowEdit->setText(air.availableFlowM3S ? text::formatGeneral(float(*air.availableFlowM3S))
                                             : QString());
    // Without a direction of its own the tunnel takes the criteria file's.
    m_reverseCheck->setChecked(air.reverseAir.value_or(m_file && m_file->criteria.reverseAir));
    const int situation = m_situationCombo->findData(air.situation);
    m_situationCombo->setCurrentIndex(std::max(0, situation));
    recompute();
    if (situation >= 0 || air.situation.isEmpty())
        return {};
    return QStringLiteral("Trafiksituationen \"%1\" finns inte i kriteriefilen; kriteriefilens "
                          "egna värden används.")
        .arg(air.situation);
}

std::optional<files::AirReport> AirTab::report() const
{
    const auto criteria = criteriaInForce();
    if (!criteria || !m_file)
        return std::nullopt;
    const QString situation =
        m_situationCombo->currentIndex() > 0 ? m_situationCombo->currentText() : QString();
    return files::AirReport{
        *criteria, {m_file->path, m_file->demonstration, situation}, m_model->demands()};
}

void AirTab::copySelectedRows()
{
    QModelIndexList rows = m_view->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QStringList lines = {m_model->headers().join(u'\t')};
    for (const QModelIndex &row : rows)
        lines << m_model->rowTexts(row.row()).join(u'\t');
    QGuiApplication::clipboard()->setText(lines.join(u'\n') + u'\n');
}

} // namespace lv::gui
