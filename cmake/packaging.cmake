# The Debian package: scripts/package configures the release build for /usr and makes
# fare_<version>_<arch>.deb with `cpack -G DEB`.
# dpkg-shlibdeps finds the shared libraries; what the program opens at run time (fonts,
# dictionaries, voices, the MIDI synthesiser and its sound font, Qt's translations) has to be
# named here.

set(FARE_PACKAGE_MAINTAINER "ファレット maintainers <maintainers@faretto.invalid>"
    CACHE STRING "Maintainer field of the package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fare)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT ${FARE_PACKAGE_MAINTAINER})
# The package installs where the build was configured to, so that the paths in the manual
# pages are the ones on the disk.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ファレット simulates the fare display of a Japanese route bus (twelve fare digits,
the numbers of the numbered tickets and a dot-matrix stop-name board) and the
operator's console that drives it: route and section entry, stepping the stops,
night fare, backlight, spoken announcements and a preview of the numbered ticket.
.
The package holds the program, the hy3tool converter for fare data, and sample
routes, announcements, sounds and ticket plug-ins.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(FARE_RUNTIME_DEPENDS
    # Qt's own Japanese texts of its dialogs and buttons
    qt6-translations-l10n
    # Typefaces of the stop-name board, the texts and the ticket-number labels
    fonts-ipafont-gothic
    fonts-ipafont-mincho
    fonts-dejavu-core
    # Readings and voices of the spoken announcements
    mecab-ipadic-utf8
    espeak-ng-data
    open-jtalk
    open-jtalk-mecab-naist-jdic
    # The MIDI synthesiser, opened when a MIDI sound is first played, not linked
    libfluidsynth3
    # Any General MIDI sound font serves the MIDI sounds
    "timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm"
    # Bus feeds in zip files (linked; named as well, for a build without dpkg-shlibdeps)
    libzip4)
list(JOIN FARE_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The voice lives in contrib: only recommended, so that the package installs from main alone.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS hts-voice-nitech-jp-atr503-m001)

include(CPack)
