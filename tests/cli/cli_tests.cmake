# The command line as a user meets it: exit codes and messages.
set(KILN $<TARGET_FILE:kiln>)
set(EXPECT ${CMAKE_CURRENT_SOURCE_DIR}/cli/expect.sh)
set(EXAMPLES ${PROJECT_SOURCE_DIR}/examples)
set(CLI_OUT ${CMAKE_CURRENT_BINARY_DIR}/cli-out)
file(MAKE_DIRECTORY ${CLI_OUT} ${CLI_OUT}/config)

# The tests share one output folder and one configuration folder, so they
# run one at a time.
function(kiln_cli_test name code pattern)
  add_test(NAME cli.${name} COMMAND ${EXPECT} ${code} ${pattern} ${ARGN})
  set_tests_properties(cli.${name} PROPERTIES RESOURCE_LOCK kiln_cli_out)
endfunction()

kiln_cli_test(help 0 "Exit status: 0 exported" ${KILN} --help)
kiln_cli_test(exportHelpNamesTheIniFlag 0 "--ini" ${KILN} export --help)
kiln_cli_test(pluginInfo 0 "class: \"Kiln Exporter\".*0xA20" ${KILN} plugin-info)
kiln_cli_test(noCommandListsTheCommands 2 "^  check +Load and validate" ${KILN})
kiln_cli_test(helpListsTheCommands 0 "^  export +Export a scene" ${KILN} help)
kiln_cli_test(helpOfACommand 0 "--out-dir" ${KILN} help export)
kiln_cli_test(version 0 "^exporter module .*kiln_exporter.so: version 100 \\(built for host version 0x13EC0800\\)"
  ${KILN} --version)
kiln_cli_test(versionOfKiln 0 "^kiln [0-9]+\\.[0-9]+\\.[0-9]+$" ${KILN} --version)
kiln_cli_test(exportHelpShowsTheIniWords 0 "--ini overwrite\\|keep\\|cancel +When" ${KILN} export --help)
kiln_cli_test(iniTakesOnlyItsWords 2 "--ini: 6 not in" ${KILN} export x y.zqs --ini 6)
kiln_cli_test(unknownFlagIsRefused 2 "not expected: --frobnicate" ${KILN} export x y.zqs --frobnicate)
kiln_cli_test(repeatedFlagIsRefused 2 "^kiln: --quiet was given more than once$"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/x.zqs -q --quiet)
kiln_cli_test(repeatedOptionIsRefused 2 "^kiln: --ini was given more than once$"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/x.zqs --ini keep --ini overwrite)

foreach(kind scene:zqs car:zqc human:zqh walk:zqa)
  string(REPLACE ":" ";" parts ${kind})
  list(GET parts 0 example)
  list(GET parts 1 ext)
  kiln_cli_test(export.${example} 0 "kiln: exported .*${example}\\.${ext}"
    ${KILN} export ${EXAMPLES}/${example}.kscene.json ${CLI_OUT}/${example}.${ext}
    --quiet --ini overwrite --config-dir ${CLI_OUT}/config)
endforeach()
set_tests_properties(cli.export.car PROPERTIES FIXTURES_SETUP car_exported)
set_tests_properties(cli.export.walk PROPERTIES FIXTURES_SETUP walk_exported)
# The dump of an animation reads the samples from the stream file beside it.
kiln_cli_test(dumpReadsTheStreamBesideAnAnimation 0 "times: \\[0, 0.16666667, 0.33333334"
  ${KILN} dump ${CLI_OUT}/walk.zqa)
# Floats in the JSON dump read back to the same 32-bit float, in the fewest digits.
kiln_cli_test(dumpJsonFloatsAreShortest 0 "^ +0\\.16666667,$"
  ${KILN} dump --json ${CLI_OUT}/walk.zqa)
set_tests_properties(cli.dumpReadsTheStreamBesideAnAnimation cli.dumpJsonFloatsAreShortest
  PROPERTIES FIXTURES_REQUIRED walk_exported)

kiln_cli_test(dumpShowsTheChunkTree 0 "\\(18, 0, 1\\) hierarchy"
  ${KILN} dump ${CLI_OUT}/car.zqc)
kiln_cli_test(dumpJson 0 "\"banner\": \"Pangolin scene marker!\""
  ${KILN} dump --json ${CLI_OUT}/car.zqc)
kiln_cli_test(unansweredIniQuestionNamesTheFlag 2 "pass --ini overwrite, --ini keep or --ini cancel"
  ${KILN} export ${EXAMPLES}/car.kscene.json ${CLI_OUT}/car.zqc --quiet --config-dir ${CLI_OUT}/config)
kiln_cli_test(iniCancelCancels 3 "export cancelled"
  ${KILN} export ${EXAMPLES}/car.kscene.json ${CLI_OUT}/car.zqc --quiet --ini cancel
  --config-dir ${CLI_OUT}/config)
kiln_cli_test(dumpShowsMaterials 0 "\\(5, 17, 1\\) multi/sub-object material"
  ${KILN} dump ${CLI_OUT}/car.zqc)
set_tests_properties(cli.dumpShowsMaterials PROPERTIES FIXTURES_REQUIRED car_exported)
kiln_cli_test(dumpShowsDamageMeshes 0 "\\(16, 0, 1\\) damage mesh" ${KILN} dump ${CLI_OUT}/car.zqc)
set_tests_properties(cli.dumpShowsDamageMeshes PROPERTIES
  FIXTURES_REQUIRED car_exported)
set_tests_properties(cli.dumpShowsTheChunkTree cli.dumpJson cli.unansweredIniQuestionNamesTheFlag
  cli.iniCancelCancels PROPERTIES FIXTURES_REQUIRED car_exported)

kiln_cli_test(wrongCaseExtensionIsExplained 2 "SCENE.ZQS: extensions are case-sensitive: use '.zqs', not '.ZQS'"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/SCENE.ZQS --quiet)
kiln_cli_test(missingExtensionIsExplained 2 "/scene has no extension, and the extension picks the kind of file: .zqs scene, .zqh human character, .zqc car, .zqa animation"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/scene --quiet)
kiln_cli_test(unknownExtensionIsAUsageError 2 "no exporter writes '.obj' files. known extensions: zqs, zqh, zqc, zqa"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/scene.obj --quiet)
kiln_cli_test(wrongCaseKindIsExplained 2 "--kind ZQC: extensions are case-sensitive: use '.zqc'"
  ${KILN} export --kind ZQC --out-dir ${CLI_OUT} ${EXAMPLES}/scene.kscene.json)
kiln_cli_test(missingConfigDirIsAUsageError 2 "--config-dir .*/nowhere does not exist"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/s.zqs --quiet --config-dir ${CLI_OUT}/nowhere)
kiln_cli_test(configDirThatIsAFileIsAUsageError 2 "--config-dir .*/scene.kscene.json is a file, not a folder"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/s.zqs --quiet --config-dir ${EXAMPLES}/scene.kscene.json)
kiln_cli_test(missingSceneConfigDirFails 4 "the configuration folder it names \\(pluginConfigDir\\) .*/no-such-folder does not exist"
  ${KILN} export ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/missing-config.kscene.json ${CLI_OUT}/mc.zqs --quiet)
kiln_cli_test(reportInAMissingFolderIsAUsageError 2 "--report .*/nowhere/r.json: the folder .*/nowhere does not exist"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/s.zqs --report ${CLI_OUT}/nowhere/r.json)
kiln_cli_test(batchNeedsAKind 2 "--out-dir needs --kind"
  ${KILN} export --out-dir ${CLI_OUT} ${EXAMPLES}/scene.kscene.json)
kiln_cli_test(selectedWithNothingSelectedWarns 0 "warning: --selected: no node of .*scene.kscene.json is selected"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/selected.zqs --quiet --selected --config-dir ${CLI_OUT}/config)
kiln_cli_test(infoJsonCounts 0 "\"vertices\": 32,"
  ${KILN} info --json ${EXAMPLES}/car.kscene.json)
kiln_cli_test(checkListsEveryProblem 4 "problems.kscene.json: /nodes/1/material: no material 7"
  ${KILN} check ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/problems.kscene.json)
kiln_cli_test(checkCountsTheProblems 4 "kiln: .*problems.kscene.json: 3 problems"
  ${KILN} check ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/problems.kscene.json)
# Handles and parents that do not make a tree are all listed, with the problems read before them.
kiln_cli_test(checkListsEveryTreeProblem 4 "kiln: .*tree-problems.kscene.json: 3 problems"
  ${KILN} check ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/tree-problems.kscene.json)
kiln_cli_test(checkPassesASoundScene 0 "car.kscene.json: no problems"
  ${KILN} check ${EXAMPLES}/car.kscene.json)
kiln_cli_test(missingOutputFolderFails 4 "output folder .*/nowhere does not exist"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/nowhere/scene.zqs --quiet)
kiln_cli_test(missingSceneIsAUsageError 2 "File does not exist"
  ${KILN} export ${CLI_OUT}/none.kscene.json ${CLI_OUT}/x.zqs --quiet)
kiln_cli_test(malformedSceneFails 4 "broken.kscene.json"
  ${KILN} export ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/broken.kscene.json ${CLI_OUT}/broken.zqs --quiet)
kiln_cli_test(badSettingValue 2 "--meshes"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/s.zqs --meshes maybe)
kiln_cli_test(wrongModuleVersionIsRefused 4 "cannot load exporter module|not an exporter module"
  ${KILN} plugin-info --plugin ${CMAKE_CURRENT_SOURCE_DIR}/cli/expect.sh)
kiln_cli_test(dumpRejectsATruncatedFile 4 "offset [0-9]+: "
  ${KILN} dump ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/broken.kscene.json)
kiln_cli_test(warningsAreCountedInTheResultLine 0 "exported .*/scene\\.zqs with 2 warnings \\(see .*scene_warnings\\.log\\)"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/scene.zqs --quiet --ini overwrite
  --config-dir ${CLI_OUT}/config)
set_tests_properties(cli.warningsAreCountedInTheResultLine PROPERTIES DEPENDS cli.export.scene)

# Deep trees: the deepest the scene file allows exports, one level more is refused.
add_test(NAME cli.makeChainScenes COMMAND sh -c
  "${CMAKE_CURRENT_SOURCE_DIR}/cli/chain-scene.sh 10000 ${CLI_OUT}/deep.kscene.json && ${CMAKE_CURRENT_SOURCE_DIR}/cli/chain-scene.sh 10001 ${CLI_OUT}/too-deep.kscene.json")
set_tests_properties(cli.makeChainScenes PROPERTIES FIXTURES_SETUP chain_scenes)
kiln_cli_test(deepestTreeExports 0 "kiln: exported .*/deep\\.zqs"
  ${KILN} export ${CLI_OUT}/deep.kscene.json ${CLI_OUT}/deep.zqs --quiet --config-dir ${CLI_OUT}/config)
kiln_cli_test(tooDeepTreeIsRefused 4 "/nodes/10000/parent: more than 10000 levels below the root"
  ${KILN} export ${CLI_OUT}/too-deep.kscene.json ${CLI_OUT}/too-deep.zqs --quiet)
set_tests_properties(cli.deepestTreeExports cli.tooDeepTreeIsRefused PROPERTIES FIXTURES_REQUIRED chain_scenes)

# A human export without a skinned mesh fails; no file is put in place.
kiln_cli_test(humanWithoutSkinFails 4 "export failed. .*/noskin\\.zqh was not written"
  ${KILN} export ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/noskin.zqh --quiet --config-dir ${CLI_OUT}/config)

# Reliability: signals, parallel exports, full disks, hostile side files.
set(CLI ${CMAKE_CURRENT_SOURCE_DIR}/cli)

# Settings for one export, batches and their reports, kiln at a terminal.
kiln_cli_test(settingFlagsHoldForOneExport 0 "^ok: " ${CLI}/settings.sh ${KILN}
  ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/settings)
kiln_cli_test(batchesExportEachScene 0 "^ok: batches" ${CLI}/batch.sh ${KILN} ${EXAMPLES}
  ${CLI}/scenes/broken.kscene.json ${PROJECT_SOURCE_DIR}/docs/export-report.schema.json ${CLI_OUT}/batch)
kiln_cli_test(reportToStandardOutputFollowsTheSchema 0 "^ok: the report follows the schema: exported$"
  sh -c "\"$0\" export \"$1\" \"$2\" --quiet --ini overwrite --config-dir \"$3\" --report - 2>/dev/null | /usr/bin/python3 \"$4\" \"$5\" /dev/stdin exported"
  ${KILN} ${EXAMPLES}/walk.kscene.json ${CLI_OUT}/report.zqa ${CLI_OUT}/config ${CLI}/check-report.py
  ${PROJECT_SOURCE_DIR}/docs/export-report.schema.json)
kiln_cli_test(questionsMessagesAndBarAtATerminal 0 "^ok: " ${CLI}/terminal.sh ${KILN}
  ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/terminal)
kiln_cli_test(signalsLeaveTheEarlierOutput 0 "^ok: " ${CLI}/interrupt.sh ${KILN}
  ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/interrupt)
kiln_cli_test(filesAreFlushedBeforeTheyArePutInPlace 0 "^(ok|SKIPPED): " ${CLI}/durable.sh ${KILN}
  ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/durable)
kiln_cli_test(parallelExportsAllSucceed 0 "^ok: " ${CLI}/parallel.sh ${KILN}
  ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/parallel 5)
kiln_cli_test(fullDiskFailsWithItsReason 0 "^(ok|SKIPPED): " ${CLI}/full-disk.sh ${KILN}
  ${EXAMPLES}/scene.kscene.json ${CLI_OUT}/full-disk)
add_test(NAME cli.makeFileSizeScene COMMAND ${CLI}/big-scene.sh ${CLI_OUT}/fsize.kscene.json 100000)
set_tests_properties(cli.makeFileSizeScene PROPERTIES FIXTURES_SETUP fsize_scene)
kiln_cli_test(fileSizeLimitIsADiskError 4 "kiln: error: .*/fsize.zqs: File too large"
  sh -c "ulimit -f 100 && exec \"$0\" export \"$1\" \"$2\" --quiet --config-dir \"$3\""
  ${KILN} ${CLI_OUT}/fsize.kscene.json ${CLI_OUT}/fsize.zqs ${CLI_OUT}/config)
set_tests_properties(cli.fileSizeLimitIsADiskError PROPERTIES FIXTURES_REQUIRED fsize_scene)
kiln_cli_test(overflowingValuesAreErrors 1 "exported .*/overflow\\.zqs with 2 errors"
  ${KILN} export ${CLI}/scenes/overflow.kscene.json ${CLI_OUT}/overflow.zqs --quiet --config-dir ${CLI_OUT}/config)
# Messages that end in a line break of their own are counted once, not as a blank error more.
kiln_cli_test(errorsEndingInALineBreakAreCountedOnce 1 "exported .*/collision-helper\\.zqc with 2 errors and 1 warning"
  ${KILN} export ${CLI}/scenes/collision-helper.kscene.json ${CLI_OUT}/collision-helper.zqc --quiet --ini overwrite)
add_test(NAME cli.makeFifoScene COMMAND ${CLI}/fifo-side-file.sh ${CLI_OUT}/fifo)
set_tests_properties(cli.makeFifoScene PROPERTIES FIXTURES_SETUP fifo_scene)
kiln_cli_test(fifoSideFileIsRefused 4 "fifo.kscene.json: /buffers/0/uri: side file .*pipe.bin is not a regular file"
  ${KILN} export ${CLI_OUT}/fifo/fifo.kscene.json ${CLI_OUT}/fifo/out.zqs --quiet)
# A reader that waited on the pipe would hang: the timeout ends it as a failure.
set_tests_properties(cli.fifoSideFileIsRefused PROPERTIES FIXTURES_REQUIRED fifo_scene TIMEOUT 30)

# The dump of the example level decodes its cameras, lights and box helper.
kiln_cli_test(export.level 0 "kiln: exported .*level\\.zqs"
  ${KILN} export ${EXAMPLES}/level.kscene.json ${CLI_OUT}/level.zqs
  --quiet --ini overwrite --config-dir ${CLI_OUT}/config)
set_tests_properties(cli.export.level PROPERTIES FIXTURES_SETUP level_exported)
kiln_cli_test(dumpShowsCamerasLightsAndBoxes 0 "\\(2, 11, 1\\) target camera"
  ${KILN} dump ${CLI_OUT}/level.zqs)
set_tests_properties(cli.dumpShowsCamerasLightsAndBoxes PROPERTIES FIXTURES_REQUIRED level_exported)
# Assets made by other tools: convert, export and describe them.
kiln_cli_test(convertListsFormats 0 "glTF2 Importer.*gltf glb" ${KILN} convert --list-formats)
kiln_cli_test(missingAssetFails 4 "none\\.glb: no such file"
  ${KILN} export ${CLI_OUT}/none.glb ${CLI_OUT}/none.zqs --quiet)
kiln_cli_test(unknownAssetFormatFails 4 "expect\\.sh: unknown format"
  ${KILN} convert ${CMAKE_CURRENT_SOURCE_DIR}/cli/expect.sh ${CLI_OUT}/expect.kscene.json)
set(REAL ${KILN_TESTDATA_DIR}/real)
if(EXISTS ${REAL}/gltf/BoxAnimated/BoxAnimated.glb)
  kiln_cli_test(exportAsset 0 "kiln: exported .*/box\\.zqa"
    ${KILN} export ${REAL}/gltf/BoxAnimated/BoxAnimated.glb ${CLI_OUT}/box.zqa --quiet
    --ini overwrite --config-dir ${CLI_OUT}/config)
  # The file's two import warnings (one the library's) count with the export's.
  kiln_cli_test(importWarningsAreCounted 0 "exported .*/cams\\.zqs with 2 warnings"
    ${KILN} export ${REAL}/gltf/Cameras/Cameras.gltf ${CLI_OUT}/cams.zqs --quiet
    --ini overwrite --config-dir ${CLI_OUT}/config)
  kiln_cli_test(infoOnAsset 0 "clip 0: '' \\(imported\\)"
    ${KILN} info ${REAL}/gltf/BoxAnimated/BoxAnimated.glb)
  kiln_cli_test(unknownClipIsAUsageError 2 "no clip 'Walk' \\(clips: 0 'Individuals', 1 'TheWave', 2 'Pulse'\\)"
    ${KILN} info ${REAL}/gltf/MorphStressTest/MorphStressTest.gltf --clip Walk)
  kiln_cli_test(convertWritesSceneSideFileAndImages 0 "converted .* \\(5 nodes, 5 materials, 1 images\\)"
    ${KILN} convert ${REAL}/gltf/CesiumMilkTruck/CesiumMilkTruck.glb ${CLI_OUT}/truck.kscene.json)
endif()
kiln_cli_test(convertWantsASceneFileName 2 "must end in \\.kscene\\.json: .*/out\\.json"
  ${KILN} convert ${CMAKE_CURRENT_SOURCE_DIR}/cli/expect.sh ${CLI_OUT}/out.json)

# kiln view: a page beside the file; a rejected file fails under --strict.
kiln_cli_test(viewWritesAPageBesideTheFile 0 "kiln: wrote .*car\\.zqc\\.html" ${KILN} view ${CLI_OUT}/car.zqc)
set_tests_properties(cli.viewWritesAPageBesideTheFile PROPERTIES FIXTURES_REQUIRED car_exported)
kiln_cli_test(viewStrictFailsOnARejectedFile 4 "broken\\.kscene\\.json: offset 0: missing banner"
  ${KILN} view --strict ${CMAKE_CURRENT_SOURCE_DIR}/cli/scenes/broken.kscene.json -o ${CLI_OUT}/broken.html)
