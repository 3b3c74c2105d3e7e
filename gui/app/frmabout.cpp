#include "gui/app/frmabout.h"

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

QString FrmAbout::versionText(const QString &programVersion)
{
    // The version parts are taken as the build wrote them; a missing part reads as 0.
    QStringList parts = programVersion.split(u'.');
    while (parts.size() < 4)
        parts.append(QStringLiteral("0"));
    return QStringLiteral("Version ") + parts[0] + u'.' + parts[1] + u'.' + parts[3];
}

FrmAbout::FrmAbout(const QString &programVersion, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Om ") + kProgramTitle);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(appIcon().pixmap(64, 64));
    picIcon->setAccessibleName(kProgramTitle);
    picIcon->setAlignment(Qt::AlignTop);

    lblVersion = new QLabel(versionText(programVersion), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblTitle = new QLabel(kProgramTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto *description = new QLabel(QStringLiteral("Emissionsmodell för tunnlar"), this);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(description);
    texts->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    // OK is both the default (Enter) and the cancel (Escape) button; QDialog maps Escape to
    // reject, which closes the box just as OK does.
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK->setFocus();
}

} // namespace lv::gui
