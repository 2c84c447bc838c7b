#pragma once
// The web addresses the program talks to, kept in one place. The shipped
// values point at the directory and at the maker's site; tests point them at
// a loopback server through the setters.

#include <QString>

// Root of the directory site: scheme and host, no trailing slash
// ("https://www.pagesjaunes.fr"). Listing links and next-page links are this
// root followed by a path.
QString DirectoryRoot();
void SetDirectoryRoot(const QString& root);

// Host part of DirectoryRoot ("www.pagesjaunes.fr"; with its port when the
// root names one).
QString DirectoryHost();

// Host of the directory's static content (logos, images).
QString DirectoryStaticHost();
void SetDirectoryStaticHost(const QString& host);

// Root of the maker's web site, no trailing slash.
QString MakerRoot();
void SetMakerRoot(const QString& root);
