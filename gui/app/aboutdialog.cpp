#include "gui/app/aboutdialog.h"

#include "gui/app/appicon.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lv::gui {

namespace {

const QString kProgramTitle = QStringLiteral("Luftvaka");

} // namespace

QString AboutDialog::versionText(const QString &programVersion)
{
    // The version parts are taken as the build wrote them; a missing part reads as 0.
    QStringList parts = programVersion.split(u'.');
    while (parts.size() < 4)
        parts.append(QStringLiteral("0"));
    return QStringLiteral("Version ") + parts[0] + u'.' + parts[1] + u'.' + parts[3];
}

AboutDialog::AboutDialog(const QString &programVersion, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("Om ") + kProgramTitle);

    m_iconLabel = new QLabel(this);
    m_iconLabel->setObjectName(QStringLiteral("iconLabel"));
    m_iconLabel->setPixmap(appIcon().pixmap(64, 64));
    m_iconLabel->setAccessibleName(kProgramTitle);
    m_iconLabel->setAlignment(Qt::AlignTop);

    m_versionLabel = new QLabel(versionText(programVersion), this);
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));
    m_titleLabel = new QLabel(kProgramTitle, this);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont = m_titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_titleLabel->setFont(titleFont);
    auto *description = new QLabel(QStringLiteral("Emissionsmodell för tunnlar"), this);

    auto *texts = new QVBoxLayout;
    texts->addWidget(m_titleLabel);
    texts->addWidget(m_versionLabel);
    texts->addWidget(description);
    texts->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(m_iconLabel);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    // OK is both the default (Enter) and the cancel (Escape) button; QDialog maps Escape to
    // reject, which closes the box just as OK does.
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_okButton->setFocus();
}

} // namespace lv::gui
