# Run at install time: copies the debugging symbols of each of `binaries`
# to lib/debug/.build-id/XX/YYYY.debug under the install prefix, XXYYYY
# being the binary's build id. Needs `readelf` and `objcopy`.

foreach(binary IN LISTS binaries)
  execute_process(COMMAND ${readelf} --notes ${binary} OUTPUT_VARIABLE notes COMMAND_ERROR_IS_FATAL ANY)
  if(NOT notes MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
    message(FATAL_ERROR "${binary} has no build id")
  endif()
  set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/debug/.build-id/${CMAKE_MATCH_1}")
  set(symbols "${folder}/${CMAKE_MATCH_2}.debug")
  message(STATUS "Installing: ${symbols}")
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${objcopy} --only-keep-debug --compress-debug-sections ${binary} ${symbols}
                  COMMAND_ERROR_IS_FATAL ANY)
  file(CHMOD ${symbols} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
