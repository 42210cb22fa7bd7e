# Install rules and the Debian package.
#
# Installed under a prefix, the programs go to bin/, the default texts to
# share/vellora-brindo/ (where the installed program looks for them), and the
# desktop entry, icons, manual pages, bash completion, copyright and
# changelog to their usual places under share/. The manual pages and the
# changelog are compressed at build time; the field list of vellora(1) is
# generated from the built command ("vellora fields").

include(GNUInstallDirs)

set(VB_PACKAGE_NAME vellora-brindo)
set(VB_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(VB_GENERATED_DIR ${CMAKE_BINARY_DIR}/packaging)
set(VB_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VB_PACKAGE_NAME})
# Folders a package creates are 0755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS vellora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(text ${VB_DEFAULT_TEXTS})
  install(FILES ${CMAKE_SOURCE_DIR}/data/${text}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/${VB_PACKAGE_NAME})
endforeach()
install(FILES ${VB_PACKAGING_DIR}/completion/vellora
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${VB_PACKAGING_DIR}/debian/copyright DESTINATION ${VB_PACKAGE_DOC_DIR})

# Compressed files: vellora.1.gz (its field list filled in), the desktop
# program's page and the Debian changelog.
set(VB_COMPRESS ${CMAKE_SOURCE_DIR}/cmake/compress_file.cmake)
add_custom_command(
  OUTPUT ${VB_GENERATED_DIR}/vellora.1.gz
  COMMAND ${CMAKE_COMMAND} -DVELLORA=$<TARGET_FILE:vellora>
          -DINPUT=${VB_PACKAGING_DIR}/man/vellora.1.in
          -DOUTPUT=${VB_GENERATED_DIR}/vellora.1 -P ${VB_COMPRESS}
  DEPENDS vellora ${VB_PACKAGING_DIR}/man/vellora.1.in ${VB_COMPRESS}
  COMMENT "Writing the manual page vellora(1)")
add_custom_command(
  OUTPUT ${VB_GENERATED_DIR}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -DINPUT=${VB_PACKAGING_DIR}/debian/changelog
          -DOUTPUT=${VB_GENERATED_DIR}/changelog -P ${VB_COMPRESS}
  DEPENDS ${VB_PACKAGING_DIR}/debian/changelog ${VB_COMPRESS})
set(VB_COMPRESSED ${VB_GENERATED_DIR}/vellora.1.gz ${VB_GENERATED_DIR}/changelog.gz)
install(FILES ${VB_GENERATED_DIR}/vellora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VB_GENERATED_DIR}/changelog.gz DESTINATION ${VB_PACKAGE_DOC_DIR})

if(TARGET vellora-brindo)
  install(TARGETS vellora-brindo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${VB_PACKAGING_DIR}/vellora-brindo.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${VB_PACKAGING_DIR}/icons/vellora-brindo.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${VB_PACKAGING_DIR}/icons/png/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME vellora-brindo.png)
  endforeach()
  add_custom_command(
    OUTPUT ${VB_GENERATED_DIR}/vellora-brindo.1.gz
    COMMAND ${CMAKE_COMMAND} -DINPUT=${VB_PACKAGING_DIR}/man/vellora-brindo.1
            -DOUTPUT=${VB_GENERATED_DIR}/vellora-brindo.1 -P ${VB_COMPRESS}
    DEPENDS ${VB_PACKAGING_DIR}/man/vellora-brindo.1 ${VB_COMPRESS}
    COMMENT "Writing the manual page vellora-brindo(1)")
  list(APPEND VB_COMPRESSED ${VB_GENERATED_DIR}/vellora-brindo.1.gz)
  install(FILES ${VB_GENERATED_DIR}/vellora-brindo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
add_custom_target(vellora_packaging_files ALL DEPENDS ${VB_COMPRESSED})

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)

# The tests of the installed tree and of the package run in the main build
# only, not in the sanitizer build of the core tests.
foreach(test script_install_run script_debian_package)
  if(TEST ${test})
    set_tests_properties(${test} PROPERTIES LABELS "package;script")
  endif()
endforeach()
