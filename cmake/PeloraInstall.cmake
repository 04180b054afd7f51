# Installed layout (XDG): the program in bin/, its read-only data in share/pelora/
# (found by ProgramFolder() as ../share/pelora from the executable), the desktop
# entry, icon and AppStream metadata where desktops look for them, and the camera
# button's udev rule. CPack turns the same layout into a Debian package.
include(GNUInstallDirs)

set(PELORA_APP_ID org.pelora.Pelora)
set(PELORA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/pelora)

install(TARGETS pelora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

file(GLOB pelora_language_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lang/*.ini)
file(GLOB pelora_help_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
file(GLOB pelora_program_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/program/*)
install(FILES ${pelora_language_files} ${pelora_program_files} DESTINATION ${PELORA_DATA_DIR})
# The manuals may bring a folder of screenshots beside them.
foreach(entry ${pelora_help_files})
  if(IS_DIRECTORY ${entry})
    install(DIRECTORY ${entry} DESTINATION ${PELORA_DATA_DIR})
  else()
    install(FILES ${entry} DESTINATION ${PELORA_DATA_DIR})
  endif()
endforeach()

install(FILES resources/desktop/${PELORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/desktop/${PELORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/art/app_icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${PELORA_APP_ID}.svg)
# udev reads rules from /usr/lib/udev/rules.d, not from /usr/local.
set(PELORA_UDEV_RULES_DIR lib/udev/rules.d CACHE PATH "Where the udev rule goes, relative to the prefix")
install(FILES resources/udev/70-pelora-microscope-button.rules DESTINATION ${PELORA_UDEV_RULES_DIR})

set(CPACK_PACKAGE_NAME pelora)
set(CPACK_PACKAGE_VENDOR "Pelora developers")
set(CPACK_PACKAGE_CONTACT "Pelora developers <dev@pelora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Live picture and measurements for USB digital microscopes")
set(CPACK_PACKAGE_DESCRIPTION "Shows the live picture of a USB handheld digital microscope with measurements,
overlays and effects; takes stills, video clips and time-lapse series; measures calibrated lengths,
areas and angles on stored photos and exports them to a spreadsheet.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Run-time helpers that no shared library names: the desktop's mail and browser
# hand-off, and fonts for every script the language files use.
set(PELORA_DEB_EXTRA_DEPENDS "xdg-utils, fonts-dejavu-core" CACHE STRING "Debian packages the program needs at run time beyond its libraries")
set(CPACK_DEBIAN_PACKAGE_DEPENDS ${PELORA_DEB_EXTRA_DEPENDS})
# Chinese, Japanese, Korean and Thai need fonts of their own; recommended, as the CJK
# fonts are large and the other languages do without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, fonts-tlwg-loma-otf")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
