// Writes the DDL of the large schema (large_schema.h) to standard output:
//
//   large_schema TABLES sqlite|postgresql | sqlite3 FILE
//   large_schema TABLES postgresql | psql -q URL

#include "large_schema.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    const int tables = argc == 3 ? std::atoi(argv[1]) : 0;
    const bool sqlite = argc == 3 && std::strcmp(argv[2], "sqlite") == 0;
    if (tables <= 0 || (!sqlite && std::strcmp(argv[2], "postgresql") != 0)) {
        std::fputs("usage: large_schema TABLES sqlite|postgresql\n", stderr);
        return 2;
    }
    const QByteArray script =
        bench::largeSchemaScript(tables, sqlite ? bench::SchemaDialect::SQLite : bench::SchemaDialect::Postgres)
            .toUtf8();
    return std::fwrite(script.constData(), 1, script.size(), stdout) == static_cast<size_t>(script.size()) ? 0 : 1;
}
