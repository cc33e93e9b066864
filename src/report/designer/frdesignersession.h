#pragma once
// What outlives one designer window: the internal clipboard, the attributes
// new objects take, the template folder and the pickers' remembered choices,
// plus the options as the settings keep them. Everything a window shows or
// drags belongs to the window itself.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class QSettings;

// Attributes given to new objects, changed by the toolbar commands.
struct TfrLastAttributes {
    QString FontName;
    int FontSize = 10;
    int FontStyle = 0;              // engine style code: 1 italic, 2 bold, 4 underline, 8 strike-out
    qint32 FontColor = 0;
    int Charset = 1;
    qint32 Adjust = 0;              // a text object's alignment byte
    quint16 FrameTyp = 0;
    double FrameWidth = 1.0;
    double LineWidth = 2.0;
    qint32 FrameColor = 0;
    qint32 FillColor = 0x1FFFFFFF;  // none
};

class DesignerSession {
public:
    // One stream per copied object, in page order: type code, class name, object record.
    QList<QByteArray> ClipboardStreams;
    TfrLastAttributes Last;
    QString TemplateDir;
    QString LastVariableCategory;
    QString LastFieldsDataSet;        // the field picker reopens on it
    QString LastInsertFieldsDataSet;  // the insert-fields window likewise
    QString InspectorMenuCaption;
};

// The program's one session; made by frRegisterDesigner (or on first use).
DesignerSession &frDesignerSession();

// The designer's options in "Form\TfrDesignerForm" under RegistryRootKey. Values
// are clamped when read: a hand-edited file cannot give a grid of 0 or 37 pixels.
struct TfrDesignerOptions {
    bool GridShow = true;
    bool GridAlign = true;
    int GridSize = 4;              // 4, 8 or 18
    int Units = 0;                 // 0 pixels, 1 millimetres, 2 inches
    bool GrayButtons = false;
    bool EditAfterInsert = true;
    int Selection = 1;             // 1 contents follow a drag, 0 frames only
    int PagePosition = 5;          // 3 left, 4 right, 5 centred
    bool BandTitles = true;
    bool LocalizedPropNames = false;
    bool UnlimitedHeight = false;
    bool DisableUndo = false;
    bool SyntaxHighlight = true;

    void Load();
    void Save() const;
    static QString Group();       // the settings group of the options
};

// Registers the designer with the engine: DesignerClassRef, the session, the
// last-used attributes and RegistryRootKey extended by the application's name.
// The program calls it once after frInitEngine().
void frRegisterDesigner();
