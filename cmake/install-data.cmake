# Install rules of every data file: desktop entry, icons, AppStream metadata,
# manual pages, and the copyright file and changelog Debian expects. The
# programs' own rules stay with their targets.
find_program(VZ_GZIP gzip REQUIRED)

set(vz_resources ${PROJECT_SOURCE_DIR}/resources)
set(vz_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# What belongs to the window is installed only with it.
if(VZ_BUILD_APP)
  install(FILES ${vz_resources}/vuzuduzi-2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${vz_resources}/org.example.vuzuduzi2.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The 32 px icon is the one built into the window; the other sizes are drawn
  # from the same curves by tools/make_icon.py.
  install(FILES ${vz_resources}/vuzuduzi-2.png DESTINATION ${vz_hicolor}/32x32/apps)
  foreach(size 16 48 64 128 256)
    install(FILES ${vz_resources}/icons/vuzuduzi-2-${size}.png
            DESTINATION ${vz_hicolor}/${size}x${size}/apps RENAME vuzuduzi-2.png)
  endforeach()
  install(FILES ${vz_resources}/icons/vuzuduzi-2.svg DESTINATION ${vz_hicolor}/scalable/apps)
endif()

# Manual pages and the changelog are installed gzip -9n compressed: best
# compression, no name or time stamp, so the same source gives the same bytes.
set(vz_compressed_dir ${PROJECT_BINARY_DIR}/compressed)
set(vz_compressed)
function(vz_gzip source name)
  set(plain ${vz_compressed_dir}/${name})
  add_custom_command(
    OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vz_compressed_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${VZ_GZIP} -9nf ${plain}
    DEPENDS ${source}
    VERBATIM)
  set(vz_compressed ${vz_compressed} ${plain}.gz PARENT_SCOPE)
endfunction()
vz_gzip(${PROJECT_SOURCE_DIR}/doc/man/vuzuduzi-2.1 vuzuduzi-2.1)
vz_gzip(${PROJECT_SOURCE_DIR}/doc/man/vuzuduzi-render.1 vuzuduzi-render.1)
vz_gzip(${PROJECT_SOURCE_DIR}/doc/changelog changelog)
add_custom_target(vz_compressed_docs ALL DEPENDS ${vz_compressed})

install(FILES ${vz_compressed_dir}/vuzuduzi-render.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(VZ_BUILD_APP)
  install(FILES ${vz_compressed_dir}/vuzuduzi-2.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
set(vz_docdir ${CMAKE_INSTALL_DATADIR}/doc/vuzuduzi-2)
install(FILES ${PROJECT_SOURCE_DIR}/doc/copyright ${vz_compressed_dir}/changelog.gz DESTINATION ${vz_docdir})
