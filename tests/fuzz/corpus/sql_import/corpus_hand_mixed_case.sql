SeLeCt DiStInCt t.A As x FrOm T t WhErE t.A = 1 gRoUp By t.A OrDeR bY X dEsC
