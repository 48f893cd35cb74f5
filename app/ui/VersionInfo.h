#pragma once
// The program's version record: named text values compiled in from the build
// (file version, product name, copyright, ...), read as a list in a fixed key
// order. Readers address the list by position.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

/// A version record: keys and their values, in any order.
using TVersionRecord = QList<QPair<QString, QString>>;

/// The keys looked up, in list order (13 keys, "FileVersion" first).
const QStringList &VersionKeys();

/// List positions of this program's record (all ten of its keys present).
enum TVersionPosition {
    vpFileVersion = 0,
    vpCompanyName = 1,
    vpFileDescription = 2,
    vpInternalName = 3,
    vpLegalCopyright = 4,
    vpLegalTradeMarks = 5,
    vpOriginalFileName = 6,
    vpProductName = 7,
    vpProductVersion = 8,
    vpComments = 9,
};

/// The record compiled into this program: the first ten keys of VersionKeys()
/// ("LegalTradeMarks" and "Comments" with empty values), ProductName "Zelbra".
const TVersionRecord &ProgramVersionRecord();

/// Fills AVersionList from the version record of a file: the running program
/// when fileName is empty or names the running executable; any other file has
/// no record here, so the list ends up empty. One entry per key of VersionKeys()
/// that the record has, in that order; a missing key leaves no entry, so later
/// values move up. With bIncludeName each entry is "Key=Value", else the value.
void GetProjectVersionInfo(QStringList &AVersionList, const QString &fileName, bool bIncludeName);
/// The same over a given record.
void GetProjectVersionInfo(QStringList &AVersionList, const TVersionRecord &record, bool bIncludeName);

/// The entry at a position, or the empty text when the list is shorter.
QString VersionListValue(const QStringList &versionList, int position);
