#include "report/designer/frdesignersession.h"
#include "report/designer/frdesignerform.h"

#include "report/engine/frformstate.h"
#include "report/engine/frglobals.h"
#include "report/engine/frreport.h"

#include "common/settings.h"

#include <QCoreApplication>
#include <QFileInfo>

DesignerSession &frDesignerSession()
{
    static DesignerSession session;
    return session;
}

QString TfrDesignerOptions::Group() { return frFormStateGroup(QStringLiteral("TfrDesignerForm")); }

namespace {
int readInt(QSettings &s, const QString &name, int fallback)
{
    return frReadInt(s, name, fallback);
}
bool readBool(QSettings &s, const QString &name, bool fallback)
{
    const QVariant v = s.value(name);
    return v.isValid() ? v.toBool() : fallback;
}
} // namespace

void TfrDesignerOptions::Load()
{
    auto s = orv::userSettings();
    s->beginGroup(Group());
    GridShow = readBool(*s, QStringLiteral("GridShow"), true);
    GridAlign = readBool(*s, QStringLiteral("GridAlign"), true);
    const int grid = readInt(*s, QStringLiteral("GridSize"), 4);
    GridSize = (grid == 8 || grid == 18) ? grid : 4;
    const int units = readInt(*s, QStringLiteral("Units"), 0);
    Units = units >= 0 && units <= 2 ? units : 0;
    GrayButtons = readBool(*s, QStringLiteral("GrayButtons"), false);
    EditAfterInsert = readBool(*s, QStringLiteral("EditAfterInsert"), true);
    Selection = readInt(*s, QStringLiteral("Selection"), 1) == 0 ? 0 : 1;
    const int position = readInt(*s, QStringLiteral("PagePosition"), 5);
    PagePosition = position >= 3 && position <= 5 ? position : 5;
    BandTitles = readBool(*s, QStringLiteral("BandTitles"), true);
    LocalizedPropNames = readBool(*s, QStringLiteral("LocalizedPropNames"), false);
    UnlimitedHeight = readBool(*s, QStringLiteral("UnlimitedHeight"), false);
    DisableUndo = readBool(*s, QStringLiteral("DisableUndo"), false);
    SyntaxHighlight = readBool(*s, QStringLiteral("SyntaxHighlight"), true);
    s->endGroup();
}

void TfrDesignerOptions::Save() const
{
    auto s = orv::userSettings();
    s->beginGroup(Group());
    s->setValue(QStringLiteral("GridShow"), GridShow);
    s->setValue(QStringLiteral("GridAlign"), GridAlign);
    s->setValue(QStringLiteral("GridSize"), GridSize);
    s->setValue(QStringLiteral("Units"), Units);
    s->setValue(QStringLiteral("GrayButtons"), GrayButtons);
    s->setValue(QStringLiteral("EditAfterInsert"), EditAfterInsert);
    s->setValue(QStringLiteral("Selection"), Selection);
    s->setValue(QStringLiteral("PagePosition"), PagePosition);
    s->setValue(QStringLiteral("BandTitles"), BandTitles);
    s->setValue(QStringLiteral("LocalizedPropNames"), LocalizedPropNames);
    s->setValue(QStringLiteral("UnlimitedHeight"), UnlimitedHeight);
    s->setValue(QStringLiteral("DisableUndo"), DisableUndo);
    s->setValue(QStringLiteral("SyntaxHighlight"), SyntaxHighlight);
    s->endGroup();
}

void frRegisterDesigner()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    DesignerClassRef = [](bool isMainSession) -> TfrReportDesigner * { return new TfrDesignerForm(isMainSession); };
    DesignerSession &session = frDesignerSession();
    session.ClipboardStreams.clear();
    session.Last = TfrLastAttributes();
    session.Last.Charset = EngineCharset;
    // The program's name at this moment (its file name until a title is set).
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    RegistryRootKey = QStringLiteral("Software\\OrvReport\\") + name;
}
