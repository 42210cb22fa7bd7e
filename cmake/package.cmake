# The Debian package, built by CPack: cpack -G DEB (scripts/package.sh
# builds it from a Release tree). Depends is computed from the programs'
# shared libraries by dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VB_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION 1.00)
set(CPACK_PACKAGE_VENDOR "Vellora Software")
set(CPACK_PACKAGE_CONTACT "Vellora Software <packages@vellora-brindo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns web text into promotional HTML pages")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellora Brindo downloads a handful of web pages about a subject, counts the
words that occur in them, spends the counts on random phrases and pours the
phrases into sentence templates to make titled paragraphs. It groups the
paragraphs into pages and writes them from an HTML template into an output
folder, together with an index page and a sitemap.xml.

The package holds the Qt desktop program vellora-brindo, the headless command
vellora that takes the same steps on a preset, and the default texts that new
presets start with. Presets live in ~/.local/share/vellora-brindo/Presets/.")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "Open site" hands the index page to the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/" "/\\\\.git/")
include(CPack)
