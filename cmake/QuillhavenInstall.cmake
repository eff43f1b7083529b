# Install rules: both programs into bin/, and the desktop entry, icon, AppStream metainfo
# and man pages from data/ into their XDG and FHS places under the prefix.
include(GNUInstallDirs)

set(QUILLHAVEN_APP_ID io.github.quillhaven.Quillhaven)
set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)

install(TARGETS quillhaven quillhaven-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${data}/${QUILLHAVEN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${QUILLHAVEN_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${data}/${QUILLHAVEN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/quillhaven.1 ${data}/quillhaven-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The login item names the installed program when the app runs from the prefix.
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/platform/xdg_autostart_login_item.cpp
  DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/platform
  APPEND PROPERTY COMPILE_DEFINITIONS
  QUILLHAVEN_INSTALLED_PROGRAM="${CMAKE_INSTALL_FULL_BINDIR}/quillhaven")
