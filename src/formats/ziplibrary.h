#pragma once

#include <QString>
#include <zip.h>

// libzip, opened when a zip file is first read rather than linked: it brings OpenSSL's
// libcrypto and three compressors with it, memory and start-up time that every run of the
// program would pay for a feature few runs use. Only the declarations of <zip.h> are used
// at build time.
namespace formats
{

#define FARE_LIBZIP_FUNCTIONS(X)                                                                   \
    X(zip_open)                                                                                    \
    X(zip_open_from_source)                                                                        \
    X(zip_source_buffer_create)                                                                    \
    X(zip_source_free)                                                                             \
    X(zip_discard)                                                                                 \
    X(zip_error_init)                                                                              \
    X(zip_error_init_with_code)                                                                    \
    X(zip_error_fini)                                                                              \
    X(zip_error_strerror)                                                                          \
    X(zip_get_error)                                                                               \
    X(zip_file_get_error)                                                                          \
    X(zip_name_locate)                                                                             \
    X(zip_stat_index)                                                                              \
    X(zip_fopen_index)                                                                             \
    X(zip_fread)                                                                                   \
    X(zip_fclose)

// The functions of libzip the readers use, resolved at run time.
struct ZipLibrary {
#define FARE_DECLARE_ZIP_FUNCTION(name) decltype(&::name) name = nullptr;
    FARE_LIBZIP_FUNCTIONS(FARE_DECLARE_ZIP_FUNCTION)
#undef FARE_DECLARE_ZIP_FUNCTION

    // Loads libzip.so.<major> and resolves every function; false, with every pointer null,
    // when the library is missing or lacks one of them. A loaded library stays loaded for the
    // rest of the process (QLibrary's destructor leaves it), so the pointers stay valid.
    bool load(const QString& name = QStringLiteral("zip"), int majorVersion = 4);
};

// Why a feed cannot be read as a zip file when libzip is not there.
QString zipLibraryMissingReason();

} // namespace formats
