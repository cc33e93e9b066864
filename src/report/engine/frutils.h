#pragma once
// Engine utilities: dotted-name lookups of components, data sets and
// fields, the value of a data field as expressions see it, listing components by
// class, and a few text routines. Stream routines are in frstream.h.
//
// Qt stand-in for the application's forms and data modules: a registry of named
// global components (QObjects with an objectName). A window or the data module
// registers itself with frRegisterGlobalComponent; its components are its QObject
// children (searched recursively), named by objectName. A data set is a child that
// implements IfrDataSource (frdataset.h); a report data set is a TfrDataset.
#include "report/engine/frdataset.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

class QWidget;

// A stored object names a class no unit has registered.
class EfrClassNotFound : public std::runtime_error {
public:
    explicit EfrClassNotFound(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }
private:
    QString m_message;
};

// ---- registry of global components (forms and data modules) ----
// Registered objects are forgotten automatically when destroyed. isForm tells a
// "form" (visited first, like the screen's forms) from a data module.
void frRegisterGlobalComponent(QObject *component, bool isForm = false);
void frUnregisterGlobalComponent(QObject *component);
QList<QObject *> frGlobalComponents();
QObject *frFindGlobalComponent(const QString &name);   // case-insensitive; nullptr
// A component owned (at any depth) by `owner`, case-insensitive; nullptr.
QObject *frFindOwnedComponent(const QObject *owner, const QString &name);

// The owner of CurrentReport (the form the report sits on), for lookups that start
// "from the report's owner". The report sets it; nullptr when none.
void frSetReportOwner(QObject *owner);
QObject *frReportOwner();

// FindComponentByPath (Owner, Path): "Name" among Owner's components; "Form.Name"
// through a global component; "Form.Module.Name" one level deeper (everything after
// the second dot is the last name). nullptr when unknown. Any error during the lookup
// becomes EfrClassNotFound "Missing " + Path.
QObject *FindComponentByPath(const QObject *owner, const QString &path);
// From the owner of CurrentReport.
QObject *FindReportComponent(const QString &path);

// FindDataSetField (Path; var DataSet; var FieldName). DataSet given on entry is used
// for a path without a dot. FieldName is set only when the data set has that field.
void FindDataSetField(const QString &path, IfrDataSource *&dataSet, QString &fieldName);
// FieldExists: the field's name as the data set spells it when present, else empty.
QString FieldExists(const QObject *component, const QString &name);
QString FieldExists(const IfrDataSource *ds, const QString &name);
// FieldValue: the value of a field as expressions see it. Opens a closed data set;
// a display handler or a large-integer field gives the display text; a Null becomes
// "" (text fields), False (Boolean fields) or 0 (all others).
QVariant FieldValue(IfrDataSource *ds, int field);
QVariant FieldValue(IfrDataSource *ds, const QString &fieldName);   // raises EfrDataError for a missing field

// GetComponentsOfClass: visits every registered form and data module, and inside them
// the nested containers (child QObjects with the dynamic property "frContainer" set to
// true: frames, data modules owned by a form) depth first. Lists the components
// whose class (or an ancestor) has the class name
// `className` (QMetaObject names, e.g. "TfrDataset", "TfrMemoryTable"); pass
// "IfrDataSource" for every data set. Listed as the bare name when the container is
// `owner`, "Container.Name" for a global container, "Owner.Container.Name" deeper.
void GetComponentsOfClass(const QObject *owner, const QString &className, QStringList &list,
                          const QObject *exclude = nullptr);

// FindControlAtPoint: the deepest visible child widget under point (in parent's
// coordinates), children tried last to first; nullptr when none.
QWidget *FindControlAtPoint(QWidget *parent, const QPoint &point);
// SetControlsEnabled: labels grey their text, other widgets change their background.
void SetControlsEnabled(const QList<QWidget *> &controls, bool enabled);

// ---- text routines ----
QString UnquoteText(const QString &text);
// Items separated by ";"; position is 1-based and moves past the ";".
QString NextListItem(const QString &text, int &position);
void SplitList(const QString &text, QStringList &list);
// Every "," and "." becomes the decimal separator; trimmed; raises EfrConversionError.
double ParseFloatText(const QString &text);
QString GetWindowsVersion();   // "NT"
