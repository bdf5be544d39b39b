@echo off
rem Moves the songs of an earlier version from its OLDSONGS folder into SONGS.
if not exist SONGS mkdir SONGS
if exist OLDSONGS\*.kar move /Y OLDSONGS\*.kar SONGS\
if exist OLDSONGS\*.mid move /Y OLDSONGS\*.mid SONGS\
