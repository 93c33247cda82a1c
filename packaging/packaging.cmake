# Installing and packaging: a .deb for Linux branches (both programs, the man page, the README and the
# systemd units) and a zip for Windows branches (erpsync-cli.exe with its DLLs). `cpack` in a build
# folder makes the package of its platform.
include(GNUInstallDirs)

if(WIN32)
  # Everything in one folder, as a Windows program folder is laid out: the executable, its DLLs, and
  # Resources\ beside it once the branch is set up.
  install(TARGETS erpsync-cli RUNTIME DESTINATION .)
  if(TARGET erpsync)
    install(TARGETS erpsync RUNTIME DESTINATION .)
  endif()
  if(ERPSYNC_WINDOWS_DEPS)
    install(FILES ${ERPSYNC_WINDOWS_DEPS}/bin/sqlite3.dll DESTINATION .)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/windows/install-task.cmd
          DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  install(TARGETS erpsync-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(TARGET erpsync)
    install(TARGETS erpsync RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/systemd/erpsync.service
                ${PROJECT_SOURCE_DIR}/packaging/systemd/erpsync-pass.service
                ${PROJECT_SOURCE_DIR}/packaging/systemd/erpsync-pass.timer
          DESTINATION lib/systemd/system)
  if(NOT CMAKE_CROSSCOMPILING)
    # The man page is made from the program's own --help texts, so it names every verb there is.
    set(man ${CMAKE_CURRENT_BINARY_DIR}/erpsync-cli.1)
    add_custom_command(
      OUTPUT ${man}.gz
      COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:erpsync-cli> -DOUT=${man} -DVERSION=${PROJECT_VERSION}
              -P ${PROJECT_SOURCE_DIR}/packaging/manpage.cmake
      COMMAND gzip -9nf ${man}
      DEPENDS erpsync-cli ${PROJECT_SOURCE_DIR}/packaging/manpage.cmake
      VERBATIM)
    add_custom_target(erpsync_manpage ALL DEPENDS ${man}.gz)
    install(FILES ${man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
endif()

set(CPACK_PACKAGE_NAME erpsync)
set(CPACK_PACKAGE_VENDOR "erpsync")
set(CPACK_PACKAGE_CONTACT "erpsync maintainers <erpsync@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Branch synchroniser of the ERP's SQL Server databases (window and headless runner)")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Keeps a branch office's ERP database and the head office's in step: vouchers up, masters down, with a "
       "window for the operator (erpsync) and a headless runner for scripts and services (erpsync-cli).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
include(CPack)
