# The Debian packages, split as Debian splits its own serial libraries: `cpack -G DEB` in the build
# folder makes one .deb per package below. Each package is the install component of the same
# COMPONENT (the install rules name it); one more package is one more install component and one
# more call here.
set(ZARELCOM_MAINTAINER "Vantorleaf Zarelcom maintainers <zarelcom@vantorleaf.example>")
include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)

set(library_package libzarelcom${PROJECT_VERSION_MAJOR})
set(about_zarelcom
  "Zarelcom drives Zarel HP industrial inkjet marking printers over an RS-232"
  "serial line: port handling, every query and setting of the printer, printer"
  "search, and the transfer of logos, messages and files, behind a flat C"
  "interface.")

zarelcom_debian_package(COMPONENT library NAME ${library_package} SECTION libs
  SUMMARY "serial link library for Zarel HP marking printers"
  DESCRIPTION ${about_zarelcom} "." "This package holds the shared library.")

zarelcom_debian_package(COMPONENT development NAME libzarelcom-dev SECTION libdevel
  SUMMARY "serial link library for Zarel HP marking printers - development files"
  DESCRIPTION ${about_zarelcom} "."
    "This package holds the C header, the libzarelcom.so link, the pkg-config"
    "file zarelcom.pc and the CMake package (find_package(Zarelcom))."
  DEPENDS "${library_package} (= ${PROJECT_VERSION})")

zarelcom_debian_package(COMPONENT tools NAME zarelcom-tools SECTION electronics
  SUMMARY "command-line tool and printer simulator for Zarel HP printers"
  DESCRIPTION
    "zarelctl drives a Zarel HP marking printer from scripts and production"
    "lines: system information and status, every setting, and the transfers of"
    "logos, messages, images and files, with results for people or as JSON."
    "."
    "zarel-sim is a printer simulator on a pseudo-terminal, for tests, demos and"
    "development without a printer."
    "."
    "zarelctl's make-logo command needs the helper of the tegrola package."
  DEPENDS "${library_package} (= ${PROJECT_VERSION})"
  SUGGESTS tegrola)

# A build without Qt has no window to package.
if(TARGET tegrola)
  zarelcom_debian_package(COMPONENT tegrola NAME tegrola SECTION electronics
    SUMMARY "logo tool for Zarel HP marking printers"
    DESCRIPTION
      "Tegrola turns a bitmap picture or typed text into a one-bit logo of 50, 25"
      "or 17 dots and sends it into a free logo slot of a Zarel HP marking printer"
      "connected to a serial port. Its captions are in English, Traditional"
      "Chinese and Simplified Chinese."
      "."
      "This package also holds zarelctl-logo, the helper that makes logos for"
      "zarelctl's make-logo command."
    DEPENDS "${library_package} (= ${PROJECT_VERSION})" fonts-dejavu-core fonts-wqy-microhei)
endif()

zarelcom_debian_package(COMPONENT python NAME python3-zarelcom SECTION python ARCHITECTURE all
  SUMMARY "Python package for Zarel HP marking printers"
  DESCRIPTION ${about_zarelcom} "."
    "This package holds zarelcom for Python 3: a printer object with every query,"
    "setting and transfer as a method with Python types, exceptions for failures,"
    "the serial port list and one-bit logo files, over the shared library."
  DEPENDS "python3 (>= 3.9)" "${library_package} (= ${PROJECT_VERSION})")
# Byte-compiled on installation and cleaned before removal, as Debian's Python packages are.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/python3-zarelcom/postinst
  ${CMAKE_CURRENT_LIST_DIR}/python3-zarelcom/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_VENDOR "Vantorleaf")
# Equal to CPack's default, so that each package's own first description line is its synopsis.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_CONTACT "${ZARELCOM_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs link this build's library, which no installed package provides yet: dpkg-shlibdeps
# finds it here and leaves it out, and the packages name it themselves (DEPENDS above).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/zarelcom)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The dynamic linker learns of the library through dpkg's trigger.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
