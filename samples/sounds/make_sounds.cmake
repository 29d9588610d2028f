# Makes the sample sounds from sine tones: cmake -DSOX=... -DLAME=... -DOUT=<folder> -P make_sounds.cmake
file(MAKE_DIRECTORY ${OUT})
set(work ${OUT}/.work)
file(MAKE_DIRECTORY ${work})
set(fmt -r 44100 -c 1 -b 16)

function(tone name seconds frequency)
    execute_process(COMMAND ${SOX} -n ${fmt} ${work}/${name}.wav
                            synth ${seconds} sine ${frequency} sine ${frequency}
                            remix 1 fade l 0.005 ${seconds} ${seconds} vol 0.45
                    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Two-tone chime, "ding-dong"
tone(ding 0.7 880)
tone(dong 1.0 698.46)
execute_process(COMMAND ${SOX} ${work}/ding.wav ${work}/dong.wav ${OUT}/chime.wav
                COMMAND_ERROR_IS_FATAL ANY)

# Rising three-tone announcement signal
tone(a1 0.35 1046.5)
tone(a2 0.35 1318.5)
tone(a3 0.9 1568.0)
execute_process(COMMAND ${SOX} ${work}/a1.wav ${work}/a2.wav ${work}/a3.wav ${work}/announce.wav
                COMMAND_ERROR_IS_FATAL ANY)

# The short click of a data step
execute_process(COMMAND ${SOX} -n ${fmt} ${OUT}/click.wav
                        synth 0.03 square 1200 fade l 0 0.03 0.025 vol 0.4
                COMMAND_ERROR_IS_FATAL ANY)

# MP3 versions
foreach(name chime announce)
    if(name STREQUAL chime)
        set(input ${OUT}/chime.wav)
    else()
        set(input ${work}/announce.wav)
    endif()
    execute_process(COMMAND ${LAME} --quiet -b 96 ${input} ${OUT}/${name}.mp3
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(REMOVE_RECURSE ${work})
