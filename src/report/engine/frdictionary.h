#pragma once
// The report's data dictionary: categorised variables, field aliases,
// band data-source aliases, disabled data sets and a field cache; its block inside
// templates and the ".frd" file.
//
// Template code calls LoadFromStream / SaveToStream on the QIODevice positioned at the
// block (record 254 of the template stream). A truncated or malformed block raises
// EfrStreamError and leaves the dictionary as it was; nothing is read past the data.
//
// Evaluating a variable: GetValue evaluates a dictionary variable's expression with
// GlobalParser. A variable that refers to itself, directly or through other variables,
// raises EfrParserError(res 55439 "符号没定义" + " \"" + name + "\"") instead of
// recursing without end.
#include "report/engine/frvariables.h"

#include <QIODevice>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

class IfrDataSource;

struct TfrCacheItem {
    QString Name;                    // the name as used in expressions
    IfrDataSource *DataSet = nullptr;
    QPointer<QObject> Object;        // the data set as a QObject, when it is one
    bool Tracked = false;
    QString DataField;
    // The data set, or nullptr when it was destroyed meanwhile.
    IfrDataSource *Alive() const { return Tracked && !Object ? nullptr : DataSet; }
};

class TfrDataDictionary {
public:
    TfrDataDictionary();
    ~TfrDataDictionary();
    TfrDataDictionary(const TfrDataDictionary &) = delete;
    TfrDataDictionary &operator=(const TfrDataDictionary &) = delete;

    TfrVariables Variables;        // " Category", then its variables; values are texts
    // "DataSet" or DataSet."Field" -> alias ("" hides). Field entries are written with the
    // field name in double quotes (FieldAliasKey); DataSet.Field is read as well.
    TfrVariables FieldAliases;
    TfrVariables BandDataSources;  // TfrDataset component name -> alias
    QStringList DisabledDataSets;  // names; "Prefix*" entries

    // Empties Variables, FieldAliases and BandDataSources (disabled list, cache kept).
    void Clear();
    void ClearCache();
    void AddCacheItem(const QString &name, IfrDataSource *dataSet, const QString &fieldName);
    // The cache, sorted case-insensitively by name.
    const QMap<QString, TfrCacheItem> &FieldCache() const { return m_cache; }

    // streamVersion: the version of the template stream being read (StreamVersion of
    // the template reader); it only matters for the older block layout (below 23: old text lists).
    void LoadFromStream(QIODevice &stream, int streamVersion = 25);
    void SaveToStream(QIODevice &stream) const;
    // ".frd": version byte (25 written; checked to be 21..25 when read) + block.
    // The file is written through QSaveFile. File errors raise EfrStreamError.
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName) const;

    bool IsVariable(const QString &name);
    QVariant GetValue(const QString &name);
    bool IsDataSetEnabled(const QString &name) const;

    QString GetRealDataSetName(const QString &alias) const;
    QString GetRealDataSourceName(const QString &alias) const;
    QString GetRealFieldName(const QString &alias) const;
    QString GetAliasName(const QString &name) const;
    static void SplitDataSetField(const QString &text, QString &dataSetName, QString &fieldName);
    // The key of a field's entry in FieldAliases, and the entry's index (either key form).
    static QString FieldAliasKey(const QString &dataSetName, const QString &fieldName);
    int FieldAliasIndex(const QString &dataSetName, const QString &fieldName) const;

    // Designer lists (filled into `list`, cleared first).
    void GetDataSetList(QStringList &list) const;
    void GetFieldList(const QString &dataSetName, QStringList &list) const;
    void GetBandDataSourceList(QStringList &list) const;
    void GetCategoryList(QStringList &list) const;
    void GetVariableList(const QString &category, QStringList &list) const;

    // SpecialVariableNames of the older block layout (index 1 empty).
    static const QStringList &SpecialVariableNames();

private:
    bool resolveField(const QString &text, IfrDataSource *&ds, QString &field) const;
    QMap<QString, TfrCacheItem> m_cache;   // key: name upper-cased
    QStringList m_evaluating;              // names whose value is being evaluated
};
